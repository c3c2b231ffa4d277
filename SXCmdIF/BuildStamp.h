// The build identification: version, and the date and time the library was
// built (the compiler's, which honours SOURCE_DATE_EPOCH).
#pragma once

namespace sxbuild {

const char* Version();  // "240212a v0.0.61"
const char* Date();     // "Mar 19 2024"
const char* Time();     // "12:53:50"
const char* DateTime(); // "Mar 19 2024 12:53:50"

const wchar_t* VersionW();
const wchar_t* DateW();
const wchar_t* TimeW();
const wchar_t* DateTimeW();

} // namespace sxbuild
