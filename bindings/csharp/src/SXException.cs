using System;
using System.Runtime.InteropServices;
using SXCmdIF.Interop;

namespace SXCmdIF
{
/// <summary>A library call failed. Carries the library's result, its code
/// and detail, the library's name for it and what it means to a person
/// (sxtool's sentence for the code).</summary>
public sealed class SXException : Exception
{
    /// <summary>The whole 32-bit result of the library.</summary>
    public int Value { get; private set; }
    /// <summary>The code: the low 16 bits of <see cref="Value"/>.</summary>
    public ErrorCode Code { get; private set; }
    /// <summary>The detail: the high 16 bits, signed (a command code, a transport's own code, else 0).</summary>
    public int Detail { get; private set; }
    /// <summary>The library's text of the value (<c>sxcmdif_errorStr</c>): the code's name, and its detail's text.</summary>
    public string Name { get; private set; }
    /// <summary>What the code means and what to try; empty for a value outside the table.</summary>
    public string Help { get; private set; }
    /// <summary>What was being done.</summary>
    public string Operation { get; private set; }

    /// <summary>The exception of a library result.</summary>
    public SXException(int value, string operation) : this(value, operation, Library.ErrorText(value)) {}

    SXException(int value, string operation, string name) : base(Compose(operation, name, HelpOf(value)))
    {
        Value = value;
        Code = (ErrorCode)(value & 0xFFFF);
        Detail = (short)((uint)value >> 16);
        Name = name;
        Help = HelpOf(value);
        Operation = operation;
    }

    /// <summary>The sentence of a code (its low half), as sxtool prints it.</summary>
    public static string HelpOf(int value)
    {
        int low = value & 0xFFFF;
        return low < ErrorTexts.Help.Length ? ErrorTexts.Help[low] : "";
    }

    /// <summary>The library's text and the sentence, as sxtool prints a failure:
    /// "E_SXERR_NAK_RESP: the tracker refused ...".</summary>
    public static string MessageOf(int value)
    {
        string help = HelpOf(value), name = Library.ErrorText(value);
        return help.Length > 0 ? name + ": " + help : name;
    }

    static string Compose(string operation, string name, string help)
    {
        string text = help.Length > 0 ? name + ": " + help : name;
        return string.IsNullOrEmpty(operation) ? text : operation + ": " + text;
    }
}
}
