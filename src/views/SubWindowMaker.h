#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "util/AString.h"
#include "util/PArray.h"

// One control of a dialog template. Sizes are twice the written dialog units.
struct SubWinControl {
    enum Kind {
        kDefPushButton = 0,
        kPushButton = 1,
        kComboBox = 2,
        kListBox = 3,
        kRadioButton = 4,
        kCheckBox = 5,
        kIcon = 6,
        kEditText = 7,
        kGroupBox = 8,
        kScrollBar = 9,
        kStatic = 10,
        kControl = 11,
    };
    int kind = kStatic;
    AString text;
    AString name;
    int x = 0, y = 0, width = 0, height = 0;
    std::uint32_t style = 0;
};

struct WinStyle {
    AString name;
    std::uint32_t value;
};

// Reads a dialog template written in resource-script syntax (the views' tool strip
// layout, PIANOROL.DLG) into a list of controls looked up by name.
class SubWindowMaker {
public:
    static constexpr std::uint32_t kDefaultStyle = 0x50000000; // WS_CHILD | WS_VISIBLE

    explicit SubWindowMaker(const std::filesystem::path& fileName);
    // For tests and for templates held in memory.
    static SubWindowMaker FromText(std::string_view text);

    const SubWinControl* Find(const AString& name) const;
    const PArray<SubWinControl>& Controls() const { return controls_; }
    int DialogX() const { return dialogX_; }
    int DialogY() const { return dialogY_; }
    int DialogWidth() const { return dialogWidth_; }
    int DialogHeight() const { return dialogHeight_; }
    // Value of a known style name, or 0.
    std::uint32_t StyleValue(std::string_view name) const;

private:
    SubWindowMaker();
    void Parse();
    void SkipSeparators();
    bool ReadToken(AString& token, bool* hadComma = nullptr);
    bool ExpectKeyword(std::string_view keyword);
    void EndLine();
    bool ReadNumber(int& value, bool* hadComma = nullptr);
    std::uint32_t ReadStyleExpression(bool* endedWithComma);
    bool ParseControl();
    bool AtEnd() const { return pos_ >= text_.size(); }

    std::string text_;
    std::size_t pos_ = 0;
    int dialogX_ = 0, dialogY_ = 0, dialogWidth_ = 0, dialogHeight_ = 0;
    PArray<SubWinControl> controls_;
    PArray<WinStyle> styles_;
};
