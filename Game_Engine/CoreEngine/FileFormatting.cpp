#include "CoreEngine/FileFormatting.h"

#include <rapidjson/reader.h>

#include <cctype>
#include <cstdlib>
#include <map>
#include <unordered_map>
#include <vector>

namespace OrvEngine {

namespace {
// A number of a JSON text: where it is in the document and where its text is.
struct NumberSpan {
    std::string path;
    size_t begin = 0;
    size_t end = 0;
};

// An object or array being read. Paths join their parts with a line end and count repeated
// member names after a tab: neither can stand unescaped in a JSON string, so paths never collide.
struct Frame {
    bool object = false;
    std::string path;
    size_t index = 0;
    std::map<std::string, int> seen;
    std::string member;
    bool want_key = true;
};

std::string ValuePath(const std::vector<Frame>& frames)
{
    if (frames.empty()) return std::string();
    const Frame& top = frames.back();
    return top.path + "\n" + (top.object ? top.member : std::to_string(top.index));
}

// The index just past the string that opens at `at`; npos when it never closes.
size_t StringEnd(const std::string& text, size_t at)
{
    for (size_t i = at + 1; i < text.size(); ++i) {
        if (text[i] == '\\') ++i;
        else if (text[i] == '"') return i + 1;
    }
    return std::string::npos;
}

bool IsNumberChar(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '+' || c == '.' || c == 'e' || c == 'E';
}

void ReadKey(Frame& top, const std::string& text, size_t begin, size_t end)
{
    const std::string name = text.substr(begin + 1, end - begin - 2);
    top.member = name + "\t" + std::to_string(top.seen[name]++);
    top.want_key = false;
}

// The numbers of a text that is valid JSON, in text order.
std::vector<NumberSpan> FindNumbers(const std::string& text)
{
    std::vector<NumberSpan> numbers;
    std::vector<Frame> frames;
    for (size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c == '{' || c == '[') {
            Frame frame;
            frame.object = c == '{';
            frame.path = ValuePath(frames);
            frames.push_back(frame);
            ++i;
        } else if ((c == '}' || c == ']') && !frames.empty()) {
            frames.pop_back();
            ++i;
        } else if (c == ',' && !frames.empty()) {
            Frame& top = frames.back();
            if (top.object) top.want_key = true;
            else ++top.index;
            ++i;
        } else if (c == '"') {
            const size_t end = StringEnd(text, i);
            if (end == std::string::npos) break;
            if (!frames.empty() && frames.back().object && frames.back().want_key) ReadKey(frames.back(), text, i, end);
            i = end;
        } else if (c == '-' || std::isdigit(static_cast<unsigned char>(c))) {
            size_t end = i;
            while (end < text.size() && IsNumberChar(text[end])) ++end;
            numbers.push_back({ValuePath(frames), i, end});
            i = end;
        } else {
            ++i; // blanks, ':' and the letters of true, false and null
        }
    }
    return numbers;
}

bool IsJson(const std::string& text)
{
    rapidjson::Reader reader;
    rapidjson::StringStream stream(text.c_str());
    rapidjson::BaseReaderHandler<> ignore;
    return !reader.Parse(stream, ignore).IsError();
}

bool IsWholeNumberText(const std::string& text) { return text.find_first_of(".eE") == std::string::npos; }

bool SameFloat(const std::string& a, const std::string& b)
{
    return std::strtof(a.c_str(), nullptr) == std::strtof(b.c_str(), nullptr);
}

std::string KeepNumberTexts(const std::string& fresh, const std::string& old)
{
    std::unordered_map<std::string, std::string> old_texts;
    for (const NumberSpan& number : FindNumbers(old)) {
        old_texts.emplace(number.path, old.substr(number.begin, number.end - number.begin));
    }
    std::string result;
    result.reserve(fresh.size());
    size_t copied = 0;
    for (const NumberSpan& number : FindNumbers(fresh)) {
        const std::string text = fresh.substr(number.begin, number.end - number.begin);
        auto kept = old_texts.find(number.path);
        const bool keep = kept != old_texts.end() && !IsWholeNumberText(text) && SameFloat(kept->second, text);
        result.append(fresh, copied, number.begin - copied);
        result += keep ? kept->second : text;
        copied = number.end;
    }
    result.append(fresh, copied, std::string::npos);
    return result;
}

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}
} // namespace

std::string KeepFileFormatting(const std::string& fresh, const std::string& old)
{
    std::string result = IsJson(fresh) && IsJson(old) ? KeepNumberTexts(fresh, old) : fresh;
    if (!EndsWith(result, "\n")) {
        if (EndsWith(old, "\r\n")) result += "\r\n";
        else if (EndsWith(old, "\n")) result += "\n";
    }
    return result;
}

} // namespace OrvEngine
