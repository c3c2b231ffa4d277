// What an item is, as the shared item table says (generated into
// Tables.g.cs), and the exported function behind each (ItemCalls.cs).
using System;
using SXCmdIF.Interop;

namespace SXCmdIF
{
/// <summary>Whom an item's command addresses.</summary>
public enum ItemLevel
{
    Unit,
    Sensor,
    Source,
}

/// <summary>What the command's second argument word means for an item.</summary>
public enum ItemArg2
{
    /// <summary>Nothing: it is ignored.</summary>
    None,
    /// <summary>The filter addressed: a <see cref="FilterTarget"/> value.</summary>
    FilterTarget,
    /// <summary>1: the origin is reset as well.</summary>
    ResetOrigin,
}

/// <summary>The actions an item takes.</summary>
[Flags]
public enum ItemActions
{
    Set = 1 << (int)CmdAction.CMD_ACTION_SET,
    Get = 1 << (int)CmdAction.CMD_ACTION_GET,
    Reset = 1 << (int)CmdAction.CMD_ACTION_RESET,
}

internal unsafe delegate int ItemCall(IntPtr ctx, IntPtr dev, ItemLevel level, int index, CmdAction action,
                                      void* payload, int arg2);

/// <summary>One configuration item: its name, record, actions and levels.</summary>
public sealed class ItemRow
{
    public Item Item { get; private set; }
    /// <summary>Its name, as sxtool takes it ("units").</summary>
    public string Name { get; private set; }
    /// <summary>The record it carries, or null for an item without one.</summary>
    public Type Record { get; private set; }
    public ItemActions Actions { get; private set; }
    public bool AtUnit { get; private set; }
    public bool AtSensor { get; private set; }
    public bool AtSource { get; private set; }
    public ItemArg2 Arg2 { get; private set; }
    /// <summary>The value words of `sxtool set` ("POS ORI").</summary>
    public string Values { get; private set; }
    public string Doc { get; private set; }
    internal ItemCall Call { get; private set; }

    internal ItemRow(Item item, string name, Type record, uint actions, bool unit, bool sensor, bool source,
                     ItemArg2 arg2, string values, string doc, ItemCall call)
    {
        Item = item;
        Name = name;
        Record = record;
        Actions = (ItemActions)actions;
        AtUnit = unit;
        AtSensor = sensor;
        AtSource = source;
        Arg2 = arg2;
        Values = values;
        Doc = doc;
        Call = call;
    }
}

/// <summary>The items.</summary>
public static class Items
{
    /// <summary>Every item, in the table's order (that of <see cref="Item"/>).</summary>
    public static ItemRow[] All { get { return (ItemRow[])ItemTable.Rows.Clone(); } }

    /// <summary>The row of an item.</summary>
    public static ItemRow Row(Item item)
    {
        int i = (int)item;
        if (i < 0 || i >= ItemTable.Rows.Length)
            throw new ArgumentOutOfRangeException("item", item, "not an item");
        return ItemTable.Rows[i];
    }

    /// <summary>The item sxtool names so ("units"), or null.</summary>
    public static ItemRow Find(string name)
    {
        foreach (var r in ItemTable.Rows)
            if (r.Name == name)
                return r;
        return null;
    }
}

/// <summary>A vocabulary: an enumeration's values and every spelling sxtool
/// accepts for each (the word, the library's name with and without its
/// prefix, its texts), in any case.</summary>
internal sealed class Vocabulary
{
    internal readonly Type Enum;
    internal readonly string What;
    internal readonly string[][] Spellings;

    internal Vocabulary(Type e, string what, string[][] spellings)
    {
        Enum = e;
        What = what;
        Spellings = spellings;
    }
}

/// <summary>The words of the enumerated values, as `sxtool set` takes them.</summary>
public static partial class Words
{
    static Vocabulary Of(Type t)
    {
        foreach (var f in typeof(Words).GetFields(System.Reflection.BindingFlags.Static |
                                                  System.Reflection.BindingFlags.NonPublic)) {
            var v = f.GetValue(null) as Vocabulary;
            if (v != null && v.Enum == t)
                return v;
        }
        throw new ArgumentException(t.Name + " is not one of the items' vocabularies");
    }

    /// <summary>The value a word names ("cm", "POS_CM", "centimeters", a
    /// number), as sxtool reads it.</summary>
    /// <exception cref="ArgumentException">no value has that word; the message names the words</exception>
    public static T Parse<T>(string word) where T : struct
    {
        var v = Of(typeof(T));
        for (int i = 0; i < v.Spellings.Length; ++i)
            foreach (var s in v.Spellings[i])
                if (string.Equals(s, word, StringComparison.OrdinalIgnoreCase))
                    return (T)System.Enum.ToObject(typeof(T), i);
        uint n;
        if (uint.TryParse(word, out n) && n < v.Spellings.Length)
            return (T)System.Enum.ToObject(typeof(T), n);
        throw new ArgumentException("unknown " + v.What + " '" + word + "' (one of " + Choices<T>() + ")");
    }

    /// <summary>The word of a value ("cm").</summary>
    public static string Word<T>(T value) where T : struct
    {
        var v = Of(typeof(T));
        int i = Convert.ToInt32(value);
        return i >= 0 && i < v.Spellings.Length ? v.Spellings[i][0] : "";
    }

    /// <summary>The words of a vocabulary, as sxtool's help lists them: "inch|foot|cm|meter".</summary>
    public static string Choices<T>() where T : struct
    {
        var v = Of(typeof(T));
        var words = new string[v.Spellings.Length];
        for (int i = 0; i < words.Length; ++i)
            words[i] = v.Spellings[i][0];
        return string.Join("|", words);
    }
}
}
