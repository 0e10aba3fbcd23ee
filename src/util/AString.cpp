#include "util/AString.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <istream>
#include <ostream>
#include <stdexcept>

namespace {

unsigned char Fold(char c) {
    return static_cast<unsigned char>(std::tolower(static_cast<unsigned char>(c)));
}

bool IsWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

} // namespace

AString& AString::operator+=(const AString& other) {
    text_ += other.text_;
    return *this;
}

AString& AString::operator+=(const char* other) {
    if (other)
        text_ += other;
    return *this;
}

AString& AString::operator+=(char c) {
    text_ += c;
    return *this;
}

void AString::Insert(std::size_t pos, const AString& text) {
    if (pos > text_.size())
        throw std::out_of_range("AString::Insert - bad position.");
    text_.insert(pos, text.text_);
}

void AString::Delete(std::size_t pos, std::size_t count) {
    if (pos > text_.size() || count > text_.size() - pos)
        throw std::out_of_range("AString::Delete - Deleting past the end of the string!");
    text_.erase(pos, count);
}

void AString::DeleteToEnd(std::size_t pos) {
    if (pos > text_.size())
        throw std::out_of_range("AString:: DeleteToEnd - bad start position.");
    text_.erase(pos);
}

bool AString::IsWordAt(std::size_t pos, std::size_t len) const {
    if (pos > 0 && IsWordChar(text_[pos - 1]))
        return false;
    return pos + len >= text_.size() || !IsWordChar(text_[pos + len]);
}

long AString::Find(const AString& what, std::size_t start) const {
    if (start > text_.size())
        throw std::out_of_range("AString::Find - Bad Find Position: " + std::to_string(start));
    const std::size_t n = what.text_.size();
    if (n > text_.size())
        return -1;
    for (std::size_t pos = start; pos + n <= text_.size(); ++pos) {
        bool same = true;
        for (std::size_t i = 0; i < n && same; ++i) {
            same = caseSensitive_ ? text_[pos + i] == what.text_[i]
                                  : Fold(text_[pos + i]) == Fold(what.text_[i]);
        }
        if (same && (!wholeWords_ || IsWordAt(pos, n)))
            return static_cast<long>(pos);
    }
    return -1;
}

AString AString::Mid(std::size_t pos, std::size_t count) const {
    if (pos > text_.size())
        throw std::out_of_range("AString::Mid - Bad Position.");
    return AString(text_.substr(pos, count));
}

void AString::Trim(TrimTypeEnum how) {
    auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    switch (how) {
    case TrimLeft:
    case TrimRight:
    case TrimBoth:
        break;
    default:
        throw std::invalid_argument("AString::Trim - bad TrimTypeEnum.");
    }
    if (how != TrimLeft) {
        while (!text_.empty() && blank(text_.back()))
            text_.pop_back();
    }
    if (how != TrimRight) {
        auto first = std::find_if_not(text_.begin(), text_.end(), blank);
        text_.erase(text_.begin(), first);
    }
}

bool AString::StartsWith(const AString& prefix) const {
    if (prefix.Length() > Length())
        return false;
    AString head = Mid(0, prefix.Length());
    head.caseSensitive_ = caseSensitive_;
    return head.Compare(prefix) == 0;
}

bool AString::NextToken(std::size_t& pos, std::string_view delimiters, AString& token) const {
    if (pos >= text_.size()) {
        token = AString();
        return false;
    }
    bool complement = !delimiters.empty() && delimiters.front() == '!';
    if (complement)
        delimiters.remove_prefix(1);
    std::size_t end = pos;
    while (end < text_.size()) {
        bool listed = delimiters.find(text_[end]) != std::string_view::npos;
        if (listed != complement)
            break;
        ++end;
    }
    token = AString(text_.substr(pos, end - pos));
    pos = end < text_.size() ? end + 1 : end;
    return true;
}

long AString::ToInt(bool* ok) const {
    std::size_t i = 0;
    while (i < text_.size() && (text_[i] == ' ' || text_[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text_.size() && (text_[i] == '-' || text_[i] == '+')) {
        negative = text_[i] == '-';
        ++i;
    }
    long value = 0;
    bool digits = false;
    for (; i < text_.size() && std::isdigit(static_cast<unsigned char>(text_[i])); ++i) {
        digits = true;
        // Saturate rather than overflow on absurdly long digit runs.
        if (value < (2147483647L - 9) / 10)
            value = value * 10 + (text_[i] - '0');
    }
    if (ok)
        *ok = digits;
    return negative ? -value : value;
}

double AString::ToDouble(bool* ok) const {
    const char* begin = text_.c_str();
    char* end = nullptr;
    double value = std::strtod(begin, &end);
    if (ok)
        *ok = end != begin;
    return end != begin ? value : 0.0;
}

AString AString::FromInt(long value) {
    return AString(std::to_string(value));
}

AString AString::FromDouble(double value, int decimals) {
    std::array<char, 64> buf{};
    std::snprintf(buf.data(), buf.size(), "%.*f", decimals, value);
    return AString(buf.data());
}

int AString::Compare(const AString& other) const {
    std::size_t n = std::min(text_.size(), other.text_.size());
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char a = caseSensitive_ ? static_cast<unsigned char>(text_[i]) : Fold(text_[i]);
        unsigned char b =
            caseSensitive_ ? static_cast<unsigned char>(other.text_[i]) : Fold(other.text_[i]);
        if (a != b)
            return a < b ? -1 : 1;
    }
    if (partialCompare_ || text_.size() == other.text_.size())
        return 0;
    return text_.size() < other.text_.size() ? -1 : 1;
}

bool AString::ReadBinary(std::istream& in) {
    unsigned char len[4];
    if (!in.read(reinterpret_cast<char*>(len), 4))
        return false;
    std::uint32_t length =
        len[0] | (len[1] << 8) | (len[2] << 16) | (static_cast<std::uint32_t>(len[3]) << 24);
    // Read in bounded pieces so that a lying length costs no more memory than the
    // stream really holds.
    std::string result;
    constexpr std::size_t kPiece = 1 << 16;
    while (result.size() < length) {
        std::size_t piece = std::min<std::size_t>(kPiece, length - result.size());
        std::size_t old = result.size();
        result.resize(old + piece);
        if (!in.read(result.data() + old, static_cast<std::streamsize>(piece)))
            return false;
    }
    text_ = std::move(result);
    return true;
}

bool AString::WriteBinary(std::ostream& out) const {
    if (text_.size() > 0xFFFFFFFFu)
        return false;
    auto n = static_cast<std::uint32_t>(text_.size());
    const char len[4] = {static_cast<char>(n & 0xFF), static_cast<char>((n >> 8) & 0xFF),
                         static_cast<char>((n >> 16) & 0xFF), static_cast<char>(n >> 24)};
    out.write(len, 4);
    out.write(text_.data(), static_cast<std::streamsize>(text_.size()));
    return static_cast<bool>(out);
}

bool AString::ReadLine(std::istream& in) {
    text_.clear();
    bool any = false;
    int c;
    while (text_.size() < kMaxLine && (c = in.get()) != std::char_traits<char>::eof()) {
        any = true;
        if (c == '\n')
            break;
        text_ += static_cast<char>(c);
    }
    if (!text_.empty() && text_.back() == '\r')
        text_.pop_back();
    return any;
}
