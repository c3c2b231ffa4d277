// Writes the native layer of SXCmdIF.Net (one DllImport per exported C
// function) from the sources the C exports come from: the public headers'
// declarations, the rows of the command table, the library's symbol list
// (cmake/SXCmdIF.map) and the symbols the built library really exports.
// It stops the build, naming the function, when a row or an export has no
// import, an import is not exported, or a C type has no C# twin.
//
//   GenNative --out Native.g.cs --table CmdTable.h --map SXCmdIF.map
//             --symbols exports.txt HEADER...
// exports.txt: `nm -D --defined-only` of the library, or its .def file.
// With --check and no --out it only checks.
using System;
using System.Collections.Generic;
using System.IO;
using System.Linq;
using System.Text;
using System.Text.RegularExpressions;

static class GenNative
{
    sealed class Decl
    {
        public string Name, Return, Header;
        public List<KeyValuePair<string, string>> Params = new List<KeyValuePair<string, string>>(); // C type, name
        public bool VarArgs;
        public string Mangled; // a C++-only export: its decorated symbol
    }

    // C type (without const, struct and blanks around '*') -> C# type. A
    // parameter type and a return type may differ (strings stay pointers).
    static readonly Dictionary<string, string> ParamTypes = new Dictionary<string, string> {
        {"int", "int"}, {"unsigned", "uint"}, {"unsignedint", "uint"}, {"uint16_t", "ushort"},
        {"uint32_t", "uint"}, {"int32_t", "int"}, {"uint64_t", "ulong"},
        {"bool", "[MarshalAs(UnmanagedType.U1)] bool"},
        {"SX_ACTION", "CmdAction"}, {"eCmdActions", "CmdAction"},
        {"void*", "IntPtr"}, {"void**", "ref IntPtr"}, {"SX_REF(void*)", "ref IntPtr"},
        {"int*", "int*"}, {"unsigned*", "uint*"}, {"unsignedint*", "uint*"},
        {"unsignedchar**", "ref IntPtr"}, {"char*", "[MarshalAs(UnmanagedType.LPStr)] string"},
        {"unsignedchar*", "IntPtr"}, {"char**", "ref IntPtr"}, {"wchar_t**", "ref IntPtr"},
        {"SXPnoCallback", "PnoCallback"}, {"sxcmdif_trace_cb", "TraceCallback"},
        // The C++-only exports' types.
        {"void*&", "ref IntPtr"}, {"eFTTHomeMethod", "int"}, {"char*(*)(unsignedint)", "IntPtr"},
    };
    static readonly Dictionary<string, string> ReturnTypes = new Dictionary<string, string> {
        {"void", "void"}, {"int", "int"}, {"char*", "IntPtr"}, {"wchar_t*", "IntPtr"},
    };

    static int Main(string[] args)
    {
        try {
            return Run(args);
        } catch (GenError e) {
            Console.Error.WriteLine("GenNative: " + e.Message);
            return 1;
        }
    }

    sealed class GenError : Exception
    {
        public GenError(string m) : base(m) {}
    }

    static int Run(string[] args)
    {
        string outPath = null, table = null, map = null, symbols = null;
        var headers = new List<string>();
        var enums = new List<string>(); // CNAME:CsName
        for (int i = 0; i < args.Length; ++i) {
            switch (args[i]) {
            case "--out": outPath = args[++i]; break;
            case "--table": table = args[++i]; break;
            case "--map": map = args[++i]; break;
            case "--symbols": symbols = args[++i]; break;
            case "--check": break;
            case "--enum": enums.Add(args[++i]); break;
            default: headers.Add(args[i]); break;
            }
        }
        if (table == null || map == null || symbols == null || headers.Count == 0)
            throw new GenError("usage: GenNative [--out FILE] --table CmdTable.h --map SXCmdIF.map --symbols FILE HEADER...");

        var decls = new SortedDictionary<string, Decl>(StringComparer.Ordinal);
        foreach (var h in headers)
            foreach (var d in Declarations(h))
                decls[d.Name] = d;

        var imports = decls.Values.Where(d => !d.VarArgs).ToList();
        var importNames = new HashSet<string>(imports.Select(d => d.Name));

        foreach (var row in TableRows(File.ReadAllText(table)))
            if (!importNames.Contains(row))
                throw new GenError("the command table's row " + row + " has no C declaration in the public headers");

        var patterns = CPatterns(File.ReadAllText(map));
        var allExported = ExportedNames(File.ReadAllLines(symbols)).ToList();
        var exported = new HashSet<string>(allExported.Where(n => patterns.Any(p => p.IsMatch(n))));
        foreach (var d in imports.Where(d => d.Mangled != null)) {
            // The decorated name begins _Z<length><name>; the families have no overloads.
            var prefix = "_Z" + d.Name.Length + d.Name;
            var found = allExported.Where(n => n.StartsWith(prefix, StringComparison.Ordinal) &&
                                               n.Length > prefix.Length && !char.IsDigit(n[prefix.Length])).Distinct().ToList();
            if (found.Count != 1)
                throw new GenError(d.Name + " is declared in " + Path.GetFileName(d.Header) + " but the library exports " +
                                   (found.Count == 0 ? "no decorated symbol for it" : "several: " + string.Join(" ", found)));
            d.Mangled = found[0];
            exported.Add(d.Name);
        }
        foreach (var name in exported.OrderBy(n => n, StringComparer.Ordinal))
            if (!decls.ContainsKey(name))
                throw new GenError("the library exports the C function " + name + ", which no public header declares");
        foreach (var d in imports)
            if (!exported.Contains(d.Name))
                throw new GenError(d.Name + " is declared in " + Path.GetFileName(d.Header) + " but the library does not export it");

        var enumText = new StringBuilder();
        foreach (var e in enums) {
            var parts = e.Split(':');
            enumText.Append(EmitEnum(parts[0], parts[1], headers));
        }
        var text = Emit(imports, decls.Values.Where(d => d.VarArgs), enumText.ToString());
        if (outPath != null) {
            // Rewritten only when it changes, so the assembly is not rebuilt for nothing.
            if (!File.Exists(outPath) || File.ReadAllText(outPath) != text)
                File.WriteAllText(outPath, text);
        }
        return 0;
    }

    // Every `SXCMDIF_CAPI ret name(params);` of a header; the C++-only block
    // (`#ifdef __cplusplus`) declares with SXCMDIF_API and is not taken.
    static IEnumerable<Decl> Declarations(string header)
    {
        var text = File.ReadAllText(header);
        text = Regex.Replace(text, @"/\*.*?\*/", " ", RegexOptions.Singleline);
        text = Regex.Replace(text, @"//[^\n]*", " ");
        text = Regex.Replace(text, @"^\s*#[^\n]*", " ", RegexOptions.Multiline);
        var rx = new Regex(@"\b(?<api>SXCMDIF_CAPI|SXCMDIF_API)\s+(?<ret>[\w\s\*]+?)\s*\b(?<name>\w+)\s*\((?<params>(?:[^()]|\([^()]*\))*)\)[^;{]*;");
        foreach (Match m in rx.Matches(text)) {
            var d = new Decl { Name = m.Groups["name"].Value, Return = Norm(m.Groups["ret"].Value), Header = header };
            if (m.Groups["api"].Value == "SXCMDIF_API") {
                // C++-only functions of the interface's families, exported decorated.
                if (!Regex.IsMatch(d.Name, "^sx(cmdif|ctx|dev|cmd)_"))
                    continue;
                d.Mangled = "";
            }
            var ps = m.Groups["params"].Value.Trim();
            if (ps != "void" && ps.Length > 0) {
                foreach (var raw in SplitParams(ps)) {
                    var p = raw.Trim();
                    if (p == "...") { d.VarArgs = true; continue; }
                    var fp = Regex.Match(p, @"^(?<ret>.*?)\(\s*\*\s*(?<pname>\w+)\s*\)\s*(?<args>\(.*\))$");
                    if (fp.Success) { // a function pointer
                        d.Params.Add(new KeyValuePair<string, string>(Norm(fp.Groups["ret"].Value + "(*)" + fp.Groups["args"].Value),
                                                                      fp.Groups["pname"].Value));
                        continue;
                    }
                    var pm = Regex.Match(p, @"^(?<type>.*?)\s*\b(?<pname>\w+)$");
                    if (!pm.Success)
                        throw new GenError("cannot read the parameter `" + p + "` of " + d.Name);
                    d.Params.Add(new KeyValuePair<string, string>(Norm(pm.Groups["type"].Value), pm.Groups["pname"].Value));
                }
            }
            yield return d;
        }
    }

    static IEnumerable<string> SplitParams(string ps)
    {
        int depth = 0, start = 0;
        for (int i = 0; i < ps.Length; ++i) {
            if (ps[i] == '(') ++depth;
            else if (ps[i] == ')') --depth;
            else if (ps[i] == ',' && depth == 0) { yield return ps.Substring(start, i - start); start = i + 1; }
        }
        yield return ps.Substring(start);
    }

    static string Norm(string cType)
    {
        var t = Regex.Replace(cType, @"\b(const|struct)\b", " ");
        t = Regex.Replace(t, @"\s+", " ").Trim();
        t = Regex.Replace(t, @"\s*\*\s*", "*");
        t = Regex.Replace(t, @"\s*&\s*", "&");
        t = Regex.Replace(t, @"\s*([()])\s*", "$1");
        t = t.Replace("unsigned int", "unsignedint").Replace("unsigned char", "unsignedchar");
        return t;
    }

    // The exports the rows of SXCTX_COMMAND_TABLE and SXCTX_REPORT_TABLE make
    // (a report row makes its W twin too).
    static IEnumerable<string> TableRows(string table)
    {
        foreach (var block in new[] { "SXCTX_COMMAND_TABLE", "SXCTX_REPORT_TABLE" }) {
            var m = Regex.Match(table, @"#define\s+" + block + @"\(X\)(?<body>(?:[^\n]*\\\n)*[^\n]*)");
            if (!m.Success)
                throw new GenError("no " + block + " in the command table");
            int rows = 0;
            foreach (Match r in Regex.Matches(m.Groups["body"].Value, @"\bX\(\s*(\w+)\s*,")) {
                ++rows;
                yield return r.Groups[1].Value;
                if (block == "SXCTX_REPORT_TABLE")
                    yield return r.Groups[1].Value + "W";
            }
            if (rows == 0)
                throw new GenError(block + " has no rows");
        }
    }

    // The glob patterns of the map's `extern "C"` block.
    static List<Regex> CPatterns(string map)
    {
        var m = Regex.Match(map, "extern\\s+\"C\"\\s*\\{(?<body>[^}]*)\\}");
        if (!m.Success)
            throw new GenError("no extern \"C\" block in the symbol map");
        return m.Groups["body"].Value.Split(';').Select(s => s.Trim()).Where(s => s.Length > 0)
            .Select(g => new Regex("^" + Regex.Escape(g).Replace("\\*", ".*").Replace("\\?", ".") + "$"))
            .ToList();
    }

    // Names from `nm -D --defined-only` lines ("addr T name[@@version]") or a
    // .def file ("name @ordinal", after EXPORTS).
    static IEnumerable<string> ExportedNames(string[] lines)
    {
        foreach (var line in lines) {
            var l = line.Trim();
            if (l.Length == 0 || l.StartsWith("EXPORTS") || l.StartsWith("LIBRARY") || l.StartsWith(";"))
                continue;
            var parts = l.Split(new[] { ' ', '\t' }, StringSplitOptions.RemoveEmptyEntries);
            string name = parts.Length >= 3 && parts[1].Length == 1 ? parts[2] : parts[0];
            if (parts.Length >= 3 && parts[1].Length == 1 && "TtWi".IndexOf(parts[1][0]) < 0)
                continue; // data, not a function
            int at = name.IndexOf('@');
            yield return at > 0 ? name.Substring(0, at) : name;
        }
    }

    static string CsParam(Decl d, KeyValuePair<string, string> p)
    {
        string t;
        var cType = p.Key;
        var rec = Regex.Match(cType, @"^(?:SX_REF\()?(_\w+)\)?[\*&]?$");
        if (rec.Success && (cType.EndsWith("*") || cType.EndsWith("&") || cType.StartsWith("SX_REF(")))
            t = CsName(rec.Groups[1].Value) + "*";
        else if (!ParamTypes.TryGetValue(cType, out t))
            throw new GenError("no C# type for `" + cType + "` (parameter " + p.Value + " of " + d.Name +
                               " in " + Path.GetFileName(d.Header) + "): add it to GenNative's table");
        return t + " " + (p.Value == "out" || p.Value == "fixed" || p.Value == "ref" ? "@" + p.Value : p.Value);
    }

    // A C record name in C# casing: _UNITS_CONFIG -> UnitsConfig, _sxFrameInfo -> SxFrameInfo.
    public static string CsName(string c)
    {
        var sb = new StringBuilder();
        foreach (var part in c.Split(new[] { '_' }, StringSplitOptions.RemoveEmptyEntries)) {
            bool upper = part.All(ch => !char.IsLower(ch));
            sb.Append(char.ToUpperInvariant(part[0]));
            sb.Append(upper ? part.Substring(1).ToLowerInvariant() : part.Substring(1));
        }
        return sb.ToString();
    }

    // A C enumeration of the headers as a C# one with the same names and values.
    static string EmitEnum(string cName, string csName, List<string> headers)
    {
        foreach (var h in headers) {
            var m = Regex.Match(File.ReadAllText(h), @"\benum\s+" + cName + @"\s*\{(?<body>[^}]*)\}");
            if (!m.Success)
                continue;
            var sb = new StringBuilder();
            sb.Append("/// <summary>The C enumeration " + cName + ", with its names and values.</summary>\n");
            sb.Append("public enum " + csName + "\n{\n");
            foreach (Match v in Regex.Matches(m.Groups["body"].Value, @"^\s*(?<n>\w+)\s*=\s*(?<v>\w+)\s*,?\s*(?:///<\s*(?<doc>[^\n]*))?",
                                              RegexOptions.Multiline)) {
                if (v.Groups["doc"].Success)
                    sb.Append("    /// <summary>" + Xml(v.Groups["doc"].Value.Trim()) + "</summary>\n");
                sb.Append("    " + v.Groups["n"].Value + " = " + v.Groups["v"].Value + ",\n");
            }
            sb.Append("}\n\n");
            return sb.ToString();
        }
        throw new GenError("no enum " + cName + " in the public headers");
    }

    static string Xml(string s)
    {
        return s.Replace("&", "&amp;").Replace("<", "&lt;").Replace(">", "&gt;");
    }

    static string Emit(List<Decl> imports, IEnumerable<Decl> skipped, string enums)
    {
        var sb = new StringBuilder();
        sb.Append("// Generated by GenNative from the public headers, the command table and the\n");
        sb.Append("// library's exports. Do not edit: a new export reaches this file by itself.\n");
        sb.Append("using System;\nusing System.Runtime.InteropServices;\n\nnamespace SXCmdIF\n{\n");
        sb.Append(enums);
        sb.Append("}\n\nnamespace SXCmdIF.Interop\n{\n");
        sb.Append("/// <summary>Every exported C function of SXCmdIF, one DllImport each, named and\n");
        sb.Append("/// typed as the C header declares it (pointers to records as C# pointers).</summary>\n");
        sb.Append("public static unsafe partial class Native\n{\n");
        sb.Append("    /// <summary>The library's name, without prefix or suffix: libSXCmdIF.so, SXCmdIF.dll.</summary>\n");
        sb.Append("    public const string Library = \"SXCmdIF\";\n");
        foreach (var d in skipped.OrderBy(d => d.Name, StringComparer.Ordinal))
            sb.Append("    // not imported: " + d.Name + " takes a C variable argument list\n");
        foreach (var d in imports) {
            string ret;
            if (!ReturnTypes.TryGetValue(d.Return, out ret))
                throw new GenError("no C# type for the result `" + d.Return + "` of " + d.Name);
            if (d.Mangled != null)
                sb.Append("\n    // C++ only: exported under its decorated name (GCC's, on Linux and MinGW alike).\n" +
                          "    [DllImport(Library, EntryPoint = \"" + d.Mangled + "\", CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]\n");
            else
                sb.Append("\n    [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]\n");
            sb.Append("    public static extern " + ret + " " + d.Name + "(" +
                      string.Join(", ", d.Params.Select(p => CsParam(d, p))) + ");\n");
        }
        sb.Append("}\n}\n");
        return sb.ToString();
    }
}
