#include "views/SubWindowMaker.h"

#include <cctype>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

struct StyleEntry {
    const char* name;
    std::uint32_t value;
};

// Standard values of the window, dialog and control styles a template may name.
constexpr StyleEntry kStyles[] = {
    {"CBS_AUTOHSCROLL", 0x40},
    {"CBS_DISABLENOSCROLL", 0x800},
    {"CBS_DROPDOWN", 0x2},
    {"CBS_DROPDOWNLIST", 0x3},
    {"CBS_HASSTRINGS", 0x200},
    {"CBS_NOINTEGRALHEIGHT", 0x400},
    {"CBS_OEMCONVERT", 0x80},
    {"CBS_OWNERDRAWFIXED", 0x10},
    {"CBS_OWNERDRAWVARIABLE", 0x20},
    {"CBS_SIMPLE", 0x1},
    {"CBS_SORT", 0x100},
    {"DS_LOCALEDIT", 0x20},
    {"DS_MODALFRAME", 0x80},
    {"DS_NOIDLEMSG", 0x100},
    {"DS_SYSMODAL", 0x2},
    {"WS_BORDER", 0x00800000},
    {"WS_CAPTION", 0x00C00000},
    {"WS_CHILD", 0x40000000},
    {"WS_CHILDWINDOW", 0x40000000},
    {"WS_CLIPCHILDREN", 0x02000000},
    {"WS_CLIPSIBLINGS", 0x04000000},
    {"WS_DISABLED", 0x08000000},
    {"WS_DLGFRAME", 0x00400000},
    {"WS_GROUP", 0x00020000},
    {"WS_HSCROLL", 0x00100000},
    {"WS_ICONIC", 0x20000000},
    {"WS_MAXIMIZE", 0x01000000},
    {"WS_MAXIMIZEBOX", 0x00010000},
    {"WS_MINIMIZE", 0x20000000},
    {"WS_MINIMIZEBOX", 0x00020000},
    {"WS_OVERLAPPED", 0x0},
    {"WS_OVERLAPPEDWINDOW", 0x00CF0000},
    {"WS_POPUP", 0x80000000},
    {"WS_POPUPWINDOW", 0x80880000},
    {"WS_SIZEBOX", 0x00040000},
    {"WS_SYSMENU", 0x00080000},
    {"WS_TABSTOP", 0x00010000},
    {"WS_THICKFRAME", 0x00040000},
    {"WS_VISIBLE", 0x10000000},
    {"WS_VSCROLL", 0x00200000},
    {"LBS_DISABLENOSCROLL", 0x1000},
    {"LBS_EXTENDEDSEL", 0x800},
    {"LBS_HASSTRINGS", 0x40},
    {"LBS_MULTICOLUMN", 0x200},
    {"LBS_MULTIPLESEL", 0x8},
    {"LBS_NOINTEGRALHEIGHT", 0x100},
    {"LBS_NOREDRAW", 0x4},
    {"LBS_NOTIFY", 0x1},
    {"LBS_OWNERDRAWFIXED", 0x10},
    {"LBS_OWNERDRAWVARIABLE", 0x20},
    {"LBS_SORT", 0x2},
    {"LBS_STANDARD", 0x00A00003},
    {"LBS_USETABSTOPS", 0x80},
    {"LBS_WANTKEYBOARDINPUT", 0x400},
    {"BS_3STATE", 0x5},
    {"BS_AUTO3STATE", 0x6},
    {"BS_AUTOCHECKBOX", 0x3},
    {"BS_AUTORADIOBUTTON", 0x9},
    {"BS_CHECKBOX", 0x2},
    {"BS_DEFPUSHBUTTON", 0x1},
    {"BS_GROUPBOX", 0x7},
    {"BS_LEFTTEXT", 0x20},
    {"BS_OWNERDRAW", 0xB},
    {"BS_PUSHBUTTON", 0x0},
    {"BS_RADIOBUTTON", 0x4},
    {"SBS_BOTTOMALIGN", 0x4},
    {"SBS_HORZ", 0x0},
    {"SBS_LEFTALIGN", 0x2},
    {"SBS_RIGHTALIGN", 0x4},
    {"SBS_SIZEBOX", 0x8},
    {"SBS_SIZEBOXBOTTOMRIGHTALIGN", 0x4},
    {"SBS_SIZEBOXTOPLEFTALIGN", 0x2},
    {"SBS_TOPALIGN", 0x2},
    {"SBS_VERT", 0x1},
    {"SS_BLACKFRAME", 0x7},
    {"SS_BLACKRECT", 0x4},
    {"SS_CENTER", 0x1},
    {"SS_GRAYFRAME", 0x8},
    {"SS_GRAYRECT", 0x5},
    {"SS_ICON", 0x3},
    {"SS_LEFT", 0x0},
    {"SS_LEFTNOWORDWRAP", 0xC},
    {"SS_NOPREFIX", 0x80},
    {"SS_RIGHT", 0x2},
    {"SS_SIMPLE", 0xB},
    {"SS_WHITEFRAME", 0x9},
    {"SS_WHITERECT", 0x6},
};

struct KeywordEntry {
    const char* keyword;
    int kind;
};

constexpr KeywordEntry kKeywords[] = {
    {"DEFPUSHBUTTON", SubWinControl::kDefPushButton},
    {"PUSHBUTTON", SubWinControl::kPushButton},
    {"COMBOBOX", SubWinControl::kComboBox},
    {"LISTBOX", SubWinControl::kListBox},
    {"RADIOBUTTON", SubWinControl::kRadioButton},
    {"CHECKBOX", SubWinControl::kCheckBox},
    {"ICON", SubWinControl::kIcon},
    {"EDITTEXT", SubWinControl::kEditText},
    {"GROUPBOX", SubWinControl::kGroupBox},
    {"SCROLLBAR", SubWinControl::kScrollBar},
    {"STATIC", SubWinControl::kStatic},
    {"LTEXT", SubWinControl::kStatic},
    {"RTEXT", SubWinControl::kStatic},
    {"CTEXT", SubWinControl::kStatic},
    {"CONTROL", SubWinControl::kControl},
};

bool IsSeparator(char c) {
    return c == ' ' || c == '\t';
}

bool IsTokenChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '|' || c == '{' ||
           c == '}' || c == '"';
}

} // namespace

SubWindowMaker::SubWindowMaker() {
    for (const StyleEntry& s : kStyles)
        styles_.Add(std::make_unique<WinStyle>(WinStyle{s.name, s.value}));
}

SubWindowMaker::SubWindowMaker(const std::filesystem::path& fileName) : SubWindowMaker() {
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        return;
    text_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    Parse();
}

SubWindowMaker SubWindowMaker::FromText(std::string_view text) {
    SubWindowMaker maker;
    maker.text_ = std::string(text);
    maker.Parse();
    return maker;
}

const SubWinControl* SubWindowMaker::Find(const AString& name) const {
    for (const SubWinControl* c : controls_)
        if (c->name == name)
            return c;
    return nullptr;
}

std::uint32_t SubWindowMaker::StyleValue(std::string_view name) const {
    for (const WinStyle* s : styles_)
        if (s->name.view() == name)
            return s->value;
    return 0;
}

void SubWindowMaker::SkipSeparators() {
    while (!AtEnd() && IsSeparator(text_[pos_]))
        ++pos_;
}

// The longest run of token characters. Inside double quotes every character up to the
// closing quote belongs to the token; the quotes themselves are dropped.
bool SubWindowMaker::ReadToken(AString& token, bool* hadComma) {
    SkipSeparators();
    std::string out;
    bool quoted = false;
    while (!AtEnd()) {
        const char c = text_[pos_];
        if (c == '"') {
            quoted = !quoted;
            ++pos_;
            continue;
        }
        if (quoted ? (c == '\n' || c == '\r') : !IsTokenChar(c))
            break;
        out += c;
        ++pos_;
    }
    const bool comma = !AtEnd() && text_[pos_] == ',';
    if (comma)
        ++pos_;
    if (hadComma)
        *hadComma = comma;
    SkipSeparators();
    token = AString(std::move(out));
    return !token.IsEmpty();
}

bool SubWindowMaker::ExpectKeyword(std::string_view keyword) {
    const std::size_t start = pos_;
    AString token;
    ReadToken(token);
    if (token.view() == keyword)
        return true;
    pos_ = start;
    return false;
}

// Drops the rest of the line, whatever line end it uses.
void SubWindowMaker::EndLine() {
    while (!AtEnd() && text_[pos_] != '\n')
        ++pos_;
    if (!AtEnd())
        ++pos_;
    SkipSeparators();
}

bool SubWindowMaker::ReadNumber(int& value, bool* hadComma) {
    SkipSeparators();
    bool negative = false;
    if (!AtEnd() && text_[pos_] == '-') {
        negative = true;
        ++pos_;
    }
    long number = 0;
    bool digits = false;
    while (!AtEnd() && std::isdigit(static_cast<unsigned char>(text_[pos_]))) {
        digits = true;
        if (number < 100000000)
            number = number * 10 + (text_[pos_] - '0');
        ++pos_;
    }
    SkipSeparators();
    const bool comma = !AtEnd() && text_[pos_] == ',';
    if (comma)
        ++pos_;
    if (hadComma)
        *hadComma = comma;
    value = static_cast<int>(negative ? -number : number);
    return digits;
}

std::uint32_t SubWindowMaker::ReadStyleExpression(bool* endedWithComma) {
    std::uint32_t style = 0;
    bool comma = false;
    for (;;) {
        AString token;
        if (!ReadToken(token, &comma))
            break;
        style |= StyleValue(token.view());
        if (comma)
            break;
        const std::size_t save = pos_;
        AString bar;
        bool barComma = false;
        ReadToken(bar, &barComma);
        if (bar.view() != "|" || barComma) {
            pos_ = save;
            break;
        }
    }
    if (endedWithComma)
        *endedWithComma = comma;
    return style;
}

bool SubWindowMaker::ParseControl() {
    while (!AtEnd() && std::isspace(static_cast<unsigned char>(text_[pos_])))
        ++pos_;
    AString keyword;
    ReadToken(keyword);
    if (keyword.view() == "}" || keyword.view() == "END" || keyword.IsEmpty())
        return false;
    int kind = -1;
    for (const KeywordEntry& k : kKeywords)
        if (keyword.view() == k.keyword)
            kind = k.kind;
    if (kind < 0) {
        EndLine(); // a statement we do not know: skip it
        return true;
    }
    auto control = std::make_unique<SubWinControl>();
    control->kind = kind;
    if (!AtEnd() && text_[pos_] == '"')
        ReadToken(control->text);
    ReadToken(control->name);
    bool styled = false;
    if (kind == SubWinControl::kControl) {
        ReadToken(control->text);
        control->style = ReadStyleExpression(nullptr);
        styled = true;
    }
    int rect[4];
    bool comma = false;
    for (int& v : rect) {
        if (!ReadNumber(v, &comma)) {
            EndLine();
            return true;
        }
    }
    control->x = rect[0] * 2;
    control->y = rect[1] * 2;
    control->width = rect[2] * 2;
    control->height = rect[3] * 2;
    if (comma) {
        control->style = ReadStyleExpression(nullptr);
    } else if (!styled) {
        control->style = kDefaultStyle;
    }
    EndLine();
    controls_.Add(std::move(control));
    return true;
}

void SubWindowMaker::Parse() {
    pos_ = 0;
    // Comments and preprocessor lines come before the first line starting with a capital.
    while (!AtEnd() && !std::isupper(static_cast<unsigned char>(text_[pos_]))) {
        while (!AtEnd() && text_[pos_] != '\n')
            ++pos_;
        if (!AtEnd())
            ++pos_;
    }
    AString name;
    ReadToken(name);
    if (!ExpectKeyword("DIALOG"))
        return;
    int rect[4] = {0, 0, 0, 0};
    for (int& v : rect)
        ReadNumber(v);
    dialogX_ = rect[0];
    dialogY_ = rect[1];
    dialogWidth_ = rect[2];
    dialogHeight_ = rect[3];
    EndLine();
    if (ExpectKeyword("STYLE")) {
        ReadStyleExpression(nullptr);
        EndLine();
    }
    if (ExpectKeyword("CAPTION")) {
        AString caption;
        ReadToken(caption);
        EndLine();
    }
    if (ExpectKeyword("FONT")) {
        AString size, face;
        ReadToken(size);
        ReadToken(face);
        EndLine();
    }
    AString brace;
    ReadToken(brace);
    EndLine();
    while (!AtEnd() && ParseControl()) {
    }
}
