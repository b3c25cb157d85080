// Plain text of control-written RTF: groups, destinations skipped, formatting words ignored, text
// bytes, escaped bytes and Unicode escapes kept; anything else declines, so that the caller uses
// the control.
#include "editor/rtf_plain_text.h"

#include <windows.h>

#include <cctype>
#include <cstdlib>
#include <set>
#include <vector>

namespace {

// Words that change only formats, never characters.
const std::set<std::string> FormatWords = {
    "rtf",    "ansi",   "deff",  "deftab", "deflang", "deflangfe", "viewkind",    "pard",   "plain",     "f",
    "fs",     "b",      "i",     "ul",     "ulnone",  "strike",    "cf",          "cb",     "highlight", "lang",
    "langfe", "ltrpar", "ltrch", "loch",   "hich",    "dbch",      "nowidctlpar", "ql",     "qc",        "qr",
    "qj",     "li",     "ri",    "fi",     "sa",      "sb",        "sl",          "slmult", "kerning"};
// Groups whose content is not text.
const std::set<std::string> Destinations = {"fonttbl", "colortbl", "stylesheet", "info", "generator"};

} // namespace

bool ReadControlRtfPlainText(const std::string& rtf, std::string& plain)
{
    plain.clear();
    if (rtf.compare(0, 6, "{\\rtf1") != 0)
        return false;
    std::vector<bool> skipping; // per open group
    int unicodeSkip = 1, toSkip = 0;
    bool paragraphEnded = false;
    size_t n = rtf.size();
    for (size_t i = 0; i < n;) {
        char c = rtf[i];
        bool skip = !skipping.empty() && skipping.back();
        if (c == '{') {
            skipping.push_back(skip || rtf.compare(i + 1, 2, "\\*") == 0);
            ++i;
            continue;
        }
        if (c == '}') {
            if (skipping.empty())
                return false;
            skipping.pop_back();
            ++i;
            if (skipping.empty()) // the end: only blanks may follow
                return rtf.find_first_not_of(" \r\n", i) == std::string::npos || rtf[i] == '\0';
            continue;
        }
        if (c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        if (c != '\\') {
            if (paragraphEnded)
                return false;
            if (!skip && toSkip > 0)
                --toSkip;
            else if (!skip)
                plain += c;
            ++i;
            continue;
        }
        char next = i + 1 < n ? rtf[i + 1] : '\0';
        if (next == '\\' || next == '{' || next == '}') {
            if (paragraphEnded)
                return false;
            if (!skip && toSkip > 0)
                --toSkip;
            else if (!skip)
                plain += next;
            i += 2;
            continue;
        }
        if (next == '\'') {
            if (i + 3 >= n || !std::isxdigit(static_cast<unsigned char>(rtf[i + 2])) ||
                !std::isxdigit(static_cast<unsigned char>(rtf[i + 3])))
                return false;
            if (paragraphEnded)
                return false;
            char byte = static_cast<char>(std::strtol(rtf.substr(i + 2, 2).c_str(), nullptr, 16));
            if (!skip && toSkip > 0)
                --toSkip;
            else if (!skip) {
                // Bytes below 32 are control characters the control would not keep as they are.
                if (static_cast<unsigned char>(byte) < 32)
                    return false;
                plain += byte;
            }
            i += 4;
            continue;
        }
        if (next == '*') {
            i += 2;
            continue;
        }
        if (!std::isalpha(static_cast<unsigned char>(next))) {
            if (skip) {
                i += 2;
                continue;
            }
            return false;
        }
        size_t start = i + 1, end = start;
        while (end < n && std::isalpha(static_cast<unsigned char>(rtf[end])))
            ++end;
        std::string word = rtf.substr(start, end - start);
        size_t digits = end;
        if (digits < n && (rtf[digits] == '-' || std::isdigit(static_cast<unsigned char>(rtf[digits]))))
            ++digits;
        while (digits < n && std::isdigit(static_cast<unsigned char>(rtf[digits])))
            ++digits;
        bool hasParameter = digits > end;
        long parameter = hasParameter ? std::strtol(rtf.substr(end, digits - end).c_str(), nullptr, 10) : 0;
        i = digits < n && rtf[digits] == ' ' ? digits + 1 : digits;
        if (Destinations.count(word)) {
            if (!skipping.empty())
                skipping.back() = true;
            continue;
        }
        if (skip)
            continue;
        if (word == "ansicpg") {
            if (parameter != static_cast<long>(GetACP()))
                return false;
        } else if (word == "uc") {
            unicodeSkip = static_cast<int>(parameter);
        } else if (word == "u") {
            if (paragraphEnded)
                return false;
            wchar_t wide = static_cast<wchar_t>(parameter < 0 ? parameter + 65536 : parameter);
            char bytes[8];
            BOOL lost = FALSE;
            int made = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &wide, 1, bytes, sizeof bytes, nullptr, &lost);
            if (made != 1 || lost || static_cast<unsigned char>(bytes[0]) < 32)
                return false;
            plain += bytes[0];
            toSkip = unicodeSkip;
        } else if (word == "par") {
            // Only the paragraph mark that ends the one line.
            if (paragraphEnded)
                return false;
            paragraphEnded = true;
        } else if (!FormatWords.count(word)) {
            return false;
        }
    }
    return false;
}
