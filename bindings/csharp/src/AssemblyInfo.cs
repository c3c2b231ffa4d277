using System.Reflection;
using System.Runtime.CompilerServices;

[assembly: AssemblyTitle("SXCmdIF.Net")]
[assembly: AssemblyDescription("The electromagnetic motion tracker SDK (SXCmdIF) for .NET and Unity")]
[assembly: InternalsVisibleTo("SXCmdIF.Net.Tests")]
