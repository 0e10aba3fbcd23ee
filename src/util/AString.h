#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

// The program's own string. Comparisons and searches are whole-string and
// case-insensitive unless one of the three flags says otherwise. Positions out of
// range are programming errors and throw std::out_of_range.
class AString {
public:
    enum TrimTypeEnum { TrimLeft = 0, TrimRight = 1, TrimBoth = 2 };
    static constexpr std::size_t npos = std::string::npos;
    // Longest line the line form reads before it splits the line.
    static constexpr std::size_t kMaxLine = 16383;

    AString() = default;
    AString(const char* text) : text_(text ? text : "") {}
    AString(const char* text, std::size_t length) : text_(text, length) {}
    AString(std::string text) : text_(std::move(text)) {}
    AString(std::string_view text) : text_(text) {}

    // Flags, all off by default.
    void SetPartialCompare(bool on) { partialCompare_ = on; }
    void SetCaseSensitive(bool on) { caseSensitive_ = on; }
    void SetWholeWords(bool on) { wholeWords_ = on; }
    bool PartialCompare() const { return partialCompare_; }
    bool CaseSensitive() const { return caseSensitive_; }
    bool WholeWords() const { return wholeWords_; }

    const char* c_str() const { return text_.c_str(); }
    const std::string& str() const { return text_; }
    std::string_view view() const { return text_; }
    // The text as shown, printed and dumped: without the zero bytes many files end their
    // texts with. The bytes themselves stay and are saved as they came.
    std::string_view Displayed() const {
        std::string_view shown = text_;
        while (!shown.empty() && shown.back() == '\0')
            shown.remove_suffix(1);
        return shown;
    }
    std::size_t Length() const { return text_.size(); }
    bool IsEmpty() const { return text_.empty(); }
    char operator[](std::size_t pos) const { return text_.at(pos); }

    AString& operator+=(const AString& other);
    AString& operator+=(const char* other);
    AString& operator+=(char c);
    friend AString operator+(AString left, const AString& right) { return left += right; }
    friend AString operator+(AString left, const char* right) { return left += right; }
    friend AString operator+(AString left, char right) { return left += right; }

    void Insert(std::size_t pos, const AString& text);
    void Delete(std::size_t pos, std::size_t count);
    void DeleteToEnd(std::size_t pos);
    // Position of `what` at or after `start`, or -1.
    long Find(const AString& what, std::size_t start = 0) const;
    AString Mid(std::size_t pos, std::size_t count = npos) const;
    void Trim(TrimTypeEnum how = TrimBoth);
    bool StartsWith(const AString& prefix) const;

    // Text from `pos` up to (not including) the first character of `delimiters`;
    // `pos` moves past that delimiter. A set starting with "!" means every character
    // except those listed. Returns false when `pos` is already at the end.
    bool NextToken(std::size_t& pos, std::string_view delimiters, AString& token) const;

    // Leading blanks, optional sign, digits. `ok` tells whether any digit was seen.
    long ToInt(bool* ok = nullptr) const;
    double ToDouble(bool* ok = nullptr) const;
    static AString FromInt(long value);
    static AString FromDouble(double value, int decimals);

    // Negative, zero or positive, honouring this string's flags.
    int Compare(const AString& other) const;
    friend bool operator==(const AString& a, const AString& b) { return a.Compare(b) == 0; }
    friend bool operator==(const AString& a, const char* b) { return a.Compare(AString(b)) == 0; }
    friend bool operator<(const AString& a, const AString& b) { return a.Compare(b) < 0; }

    // Binary form: 32-bit little-endian length, then the bytes. A length larger than
    // what the stream still holds is a read failure; nothing is allocated for it.
    bool ReadBinary(std::istream& in);
    bool WriteBinary(std::ostream& out) const;
    // Line form: bytes up to a line end (the end itself and a CR before it dropped),
    // at most kMaxLine of them; false at the end of the stream.
    bool ReadLine(std::istream& in);

private:
    bool IsWordAt(std::size_t pos, std::size_t len) const;

    std::string text_;
    bool partialCompare_ = false;
    bool caseSensitive_ = false;
    bool wholeWords_ = false;
};
