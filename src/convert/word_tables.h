// The two tables of known words and the primitives every lookup shares.
//
// IdentTable holds every identifier of the standard units (and every reserved word) in its formal
// spelling; ReservedTable holds the reserved words in lower case. Both ascend by their upper-case
// bytes, which is what the binary search FindWord assumes; the checks below the tables prove
// that, and their sizes, at compile time.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

inline constexpr std::size_t kIdentCount = 638;
inline constexpr std::size_t kReservedCount = 52;
/// The length of the longest entry of either table; a longer word is never known.
inline constexpr std::size_t kLongestKnownWord = 17;

/// Returns true for "0" to "9", "A" to "Z", "_" and "a" to "z"; every other byte separates words.
constexpr bool IsWordChar(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == '_' || (c >= 'a' && c <= 'z');
}

/// Returns the capital of "a" to "z"; every other byte is returned unchanged.
constexpr char UpperAscii(char c) {
  return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

/// Orders strings by their upper-case bytes, the order of both tables.
constexpr bool UpperLess(std::string_view a, std::string_view b) {
  return std::ranges::lexicographical_compare(a, b, [](char x, char y) {
    return static_cast<unsigned char>(UpperAscii(x)) < static_cast<unsigned char>(UpperAscii(y));
  });
}

// clang-format off
/// The known identifiers in formal spelling, ascending by upper-case bytes (13 and 14 are equal).
inline constexpr std::array<std::string_view, kIdentCount> IdentTable = {
    /*   1 */ "Abs", "absolute", "Addr", "AH", "AL", "and",
    /*   7 */ "AndPut", "AnyFile", "Append", "Arc", "ArcCoordsType", "Archive",
    /*  13 */ "ArcTan", "ArcTan", "array", "Assign", "AssignCrt", "ATT400",
    /*  19 */ "ATT400C0", "ATT400C1", "ATT400C2", "ATT400C3", "ATT400Hi", "ATT400Med",
    /*  25 */ "Attr", "AX", "Back", "Bar", "Bar3D", "begin",
    /*  31 */ "BH", "BkSlashFill", "BL", "Black", "Blink", "BlockRead",
    /*  37 */ "BlockWrite", "Blue", "Boolean", "BottomText", "BP", "Brown",
    /*  43 */ "BufEnd", "Buffer", "BufPos", "BufPtr", "BufSize", "BW40",
    /*  49 */ "BW80", "BX", "Byte", "C40", "C80", "case",
    /*  55 */ "CBreak", "CenterLn", "CenterText", "CGA", "CGAC0", "CGAC1",
    /*  61 */ "CGAC2", "CGAC3", "CGAHi", "CH", "Char", "CharSize",
    /*  67 */ "ChDir", "CheckBreak", "CheckEof", "CheckSnow", "Chr", "Circle",
    /*  73 */ "CL", "ClearDevice", "ClearScreen", "ClearViewPort", "Clip", "ClipOff",
    /*  79 */ "ClipOn", "Close", "CloseDotFill", "CloseFunc", "CloseGraph", "ClrEol",
    /*  85 */ "ClrScr", "CO40", "CO80", "Colors", "ColorTable", "comp",
    /*  91 */ "ComStr", "Concat", "const", "constructor", "Copy", "CopyPut",
    /*  97 */ "Cos", "Crt", "CSeg", "CurrentDriver", "CX", "Cyan",
    /* 103 */ "DarkGray", "DashedLn", "DateTime", "Day", "Dec", "DefaultFont",
    /* 109 */ "Delay", "Delete", "DelLine", "destructor", "Detect", "DetectGraph",
    /* 115 */ "DH", "DI", "Direction", "Directory", "DirectVideo", "DirStr",
    /* 121 */ "DiskFree", "DiskSize", "Dispose", "div", "DL", "do",
    /* 127 */ "Dos", "DosError", "DosExitCode", "DosVersion", "DottedLn", "double",
    /* 133 */ "downto", "Draw", "DrawPoly", "DS", "DSeg", "DX",
    /* 139 */ "East", "EGA", "EGA64", "EGA64Hi", "EGA64Lo", "EGABlack",
    /* 145 */ "EGABlue", "EGABrown", "EGACyan", "EGADarkgray", "EGAGreen", "EGAHi",
    /* 151 */ "EGALightblue", "EGALightcyan", "EGALightgray", "EGALightgreen", "EGALightmagenta", "EGALightred",
    /* 157 */ "EGALo", "EGAMagenta", "EGAMono", "EGAMonoHi", "EGARed", "EGAWhite",
    /* 163 */ "EGAYellow", "Ellipse", "else", "EmptyFill", "end", "EnvCount",
    /* 169 */ "EnvStr", "Eof", "Eoln", "Erase", "ErrorAddr", "ES",
    /* 175 */ "Exec", "Exit", "ExitCode", "ExitProc", "Exp", "extended",
    /* 181 */ "external", "ExtStr", "False", "FAuxiliary", "FCarry", "FExpand",
    /* 187 */ "file", "FileMode", "FilePos", "FileRec", "FileSize", "Fill",
    /* 193 */ "FillChar", "FillEllipse", "FillPattern", "FillPoly", "FillScreen", "FillSettingsType",
    /* 199 */ "FillShape", "FindFirst", "FindNext", "Flags", "FloodFill", "Flush",
    /* 205 */ "FlushFunc", "fmClosed", "fmInOut", "fmInput", "fmOutput", "Font",
    /* 211 */ "Font8x8", "for", "forward", "Forwd", "FOverFlow", "FParity",
    /* 217 */ "Frac", "FreeMem", "FreeMin", "FreePtr", "FSearch", "FSign",
    /* 223 */ "FSplit", "function", "FZero", "GetArcCoords", "GetAspectRatio", "GetBkColor",
    /* 229 */ "GetCBreak", "GetColor", "GetDate", "GetDefaultPalette", "GetDir", "GetDotColor",
    /* 235 */ "GetDriverName", "GetEnv", "GetFAttr", "GetFillPattern", "GetFillSettings", "GetFTime",
    /* 241 */ "GetGraphMode", "GetImage", "GetIntVec", "GetLineSettings", "GetMaxColor", "GetMaxMode",
    /* 247 */ "GetMaxX", "GetMaxY", "GetMem", "GetModeName", "GetModeRange", "GetPalette",
    /* 253 */ "GetPaletteSize", "GetPic", "GetPixel", "GetTextSettings", "GetTime", "GetVerify",
    /* 259 */ "GetViewSettings", "GetX", "GetY", "GothicFont", "goto", "GotoXY",
    /* 265 */ "Graph", "Graph3", "GraphBackground", "GraphColorMode", "GraphDefaults", "GraphErrorMsg",
    /* 271 */ "GraphFreeMem", "GraphFreeMemPtr", "GraphGetMem", "GraphGetMemPtr", "GraphMode", "GraphResult",
    /* 277 */ "GraphWindow", "Green", "grError", "grFileNotFound", "grFontNotFound", "grInvalidDriver",
    /* 283 */ "grInvalidFont", "grInvalidFontNum", "grInvalidMode", "grIOError", "grNoFloodMem", "grNoFontMem",
    /* 289 */ "grNoInitGraph", "grNoLoadMem", "grNoScanMem", "grNotDetected", "grOK", "Halt",
    /* 295 */ "Handle", "HatchFill", "Heading", "HeapError", "HeapOrg", "HeapPrt",
    /* 301 */ "HercMono", "HercMonoHi", "Hi", "Hidden", "HideTurtle", "HighVideo",
    /* 307 */ "HiRes", "HiResColor", "Home", "Horiz", "HorizDir", "Hour",
    /* 313 */ "IBM8514", "IBM8514HI", "IBM8514LO", "if", "ImageSize", "implementation",
    /* 319 */ "in", "Inc", "InitGraph", "inline", "InOutFunc", "InOutRes",
    /* 325 */ "Input", "Insert", "InsLine", "InstallUserDriver", "InstallUserFont", "Int",
    /* 331 */ "Integer", "interface", "InterleaveFill", "interrupt", "Intr", "IOResult",
    /* 337 */ "Kbd", "Keep", "KeyPressed", "label", "LastMode", "LeftText",
    /* 343 */ "Length", "LightBlue", "LightCyan", "LightGray", "LightGreen", "LightMagenta",
    /* 349 */ "LightRed", "Line", "LineFill", "LineRel", "LineSettingsType", "LineStyle",
    /* 355 */ "LineTo", "Ln", "Lo", "LongFilePos", "LongFileSize", "Longint",
    /* 361 */ "LongSeek", "LowVideo", "LtBkSlashFill", "LtSlashFill", "Magenta", "Mark",
    /* 367 */ "MaxAvail", "MaxColors", "MCGA", "MCGAC0", "MCGAC1", "MCGAC2",
    /* 373 */ "MCGAC3", "MCGAHi", "MCGAMed", "MemAvail", "Min", "MkDir",
    /* 379 */ "mod", "Mode", "Mono", "Month", "Move", "MoveRel",
    /* 385 */ "MoveTo", "MsDos", "Name", "NameStr", "New", "nil",
    /* 391 */ "NormVideo", "NormWidth", "North", "NoSound", "not", "NotPut",
    /* 397 */ "NoWrap", "object", "Odd", "of", "Ofs", "OpenFunc",
    /* 403 */ "or", "Ord", "OrPut", "Output", "OutText", "OutTextXY",
    /* 409 */ "Overlay", "OvrClearBuf", "OvrCodeList", "OvrDebugPtr", "OvrDosHandle", "OvrGetBuf",
    /* 415 */ "OvrHeapEnd", "OvrHeapOrg", "OvrHeapPtr", "OvrHeapSize", "OvrInit", "OvrInitEMS",
    /* 421 */ "OvrLoadList", "OvrSetBuf", "packed", "PackTime", "Palette", "PaletteType",
    /* 427 */ "ParamCount", "ParamStr", "PathStr", "Pattern", "PC3270", "PC3270Hi",
    /* 433 */ "PenDown", "PenUp", "Pi", "PieSlice", "Plot", "pointer",
    /* 439 */ "PointType", "Pos", "Pred", "PrefixSeg", "Printer", "Private",
    /* 445 */ "procedure", "program", "Ptr", "PutImage", "PutPic", "PutPixel",
    /* 451 */ "Random", "Randomize", "RandSeed", "Read", "ReadKey", "Readln",
    /* 457 */ "ReadOnly", "real", "record", "RecSize", "Rectangle", "Red",
    /* 463 */ "RegisterBGIdriver", "RegisterBGIfont", "Registers", "Release", "Rename", "repeat",
    /* 469 */ "Reset", "RestoreCrtMode", "Rewrite", "RightText", "RmDir", "Round",
    /* 475 */ "RunError", "SansSeriFont", "SaveInt00", "SaveInt02", "SaveInt1B", "SaveInt23",
    /* 481 */ "SaveInt24", "SaveInt34", "SaveInt35", "SaveInt36", "SaveInt37", "SaveInt38",
    /* 487 */ "SaveInt39", "SaveInt3A", "SaveInt3B", "SaveInt3C", "SaveInt3D", "SaveInt3E",
    /* 493 */ "SaveInt3F", "SaveInt75", "SearchRec", "Sec", "Sector", "Seek",
    /* 499 */ "SeekEof", "SeekEoln", "Seg", "set", "SetActivePage", "SetAllPalette",
    /* 505 */ "SetAspectRatio", "SetBkColor", "SetCBreak", "SetColor", "SetDate", "SetFAttr",
    /* 511 */ "SetFillPattern", "SetFillStyle", "SetFTime", "SetGraphBufSize", "SetGraphMode", "SetHeading",
    /* 517 */ "SetIntVec", "SetLineStyle", "SetPalette", "SetPenColor", "SetPosition", "SetRGBPalette",
    /* 523 */ "SetTextBuf", "SetTextJustify", "SetTextStyle", "SetTime", "SetUserCharSize", "SetVerify",
    /* 529 */ "SetViewPort", "SetVisualPage", "SetWriteMode", "shl", "Shortint", "ShowTurtle",
    /* 535 */ "shr", "SI", "Sin", "single", "Size", "SizeOf",
    /* 541 */ "SlashFill", "SmallFont", "SolidFill", "SolidLn", "Sound", "South",
    /* 547 */ "SPtr", "Sqr", "Sqrt", "SSeg", "StackLimit", "Str",
    /* 553 */ "string", "Succ", "Swap", "SwapVectors", "SysFile", "System",
    /* 559 */ "Test8087", "TextAttr", "TextBackground", "TextBuf", "TextColor", "TextHeight",
    /* 565 */ "TextMode", "TextRec", "TextSettingsType", "TextWidth", "then", "Thickness",
    /* 571 */ "ThickWidth", "Time", "to", "TopOff", "TopOn", "TopText",
    /* 577 */ "TriplexFont", "True", "Trunc", "Truncate", "Turbo3", "TurnLeft",
    /* 583 */ "TurnRight", "TurtleDelay", "TurtleThere", "TurtleWindow", "type", "unit",
    /* 589 */ "UnpackTime", "until", "UpCase", "UserBitLn", "UserCharSize", "UserData",
    /* 595 */ "UserFill", "uses", "Val", "var", "Vert", "VertDir",
    /* 601 */ "VGA", "VGAHi", "VGALo", "VGAMed", "ViewPortType", "virtual",
    /* 607 */ "VolumeID", "West", "WhereX", "WhereY", "while", "White",
    /* 613 */ "WideDotFill", "WindMax", "WindMin", "Window", "with", "Word",
    /* 619 */ "Wrap", "Write", "Writeln", "X", "x1", "x2",
    /* 625 */ "XCor", "Xend", "XHatchFill", "xor", "XORPut", "Xstart",
    /* 631 */ "Y", "y1", "y2", "YCor", "Year", "Yellow",
    /* 637 */ "Yend", "Ystart",
};

/// The reserved words in lower case, ascending.
inline constexpr std::array<std::string_view, kReservedCount> ReservedTable = {
    /*   1 */ "absolute", "and", "array", "begin", "case", "const",
    /*   7 */ "constructor", "destructor", "div", "do", "downto", "else",
    /*  13 */ "end", "external", "file", "for", "forward", "function",
    /*  19 */ "goto", "if", "implementation", "in", "inline", "interface",
    /*  25 */ "interrupt", "label", "mod", "nil", "not", "object",
    /*  31 */ "of", "or", "packed", "procedure", "program", "record",
    /*  37 */ "repeat", "set", "shl", "shr", "string", "then",
    /*  43 */ "to", "type", "unit", "until", "uses", "var",
    /*  49 */ "virtual", "while", "with", "xor",
};
// clang-format on

static_assert(std::ranges::is_sorted(IdentTable, UpperLess), "FindWord needs upper-case order");
static_assert(std::ranges::is_sorted(ReservedTable, UpperLess), "FindWord needs upper-case order");
static_assert(IdentTable[12] == "ArcTan" && IdentTable[13] == "ArcTan");
static_assert(IdentTable.front() == "Abs" && IdentTable.back() == "Ystart");
static_assert(ReservedTable.front() == "absolute" && ReservedTable.back() == "xor");
static_assert(std::ranges::all_of(ReservedTable,
                                  [](std::string_view reserved) {
                                    return std::ranges::find(IdentTable, reserved) !=
                                           IdentTable.end();
                                  }),
              "every reserved word is also an identifier, spelled the same");
static_assert(std::ranges::max(IdentTable, {}, &std::string_view::size).size() ==
              kLongestKnownWord);

/// Replaces each of "a" to "z" in `s` by its capital.
void UpperInPlace(std::string& s);

/// Binary search that ignores letter case: the 0-based position of `word` in `table`, or -1.
int FindWord(std::span<const std::string_view> table, std::string_view word);
