// Rewrites JSON files in the form the engine's writer gives: four-space
// pretty printing, members in file order (repeated keys kept), each fractional number read as the
// 32-bit float the engine holds and written widened to double, whole numbers as they stand, and
// nothing after the closing brace. Run once over Resources/Data after the number format changed;
// running it again changes nothing.
//
//   rewrite_numbers [FOLDER or FILE...]   (default ../Resources/Data, from the build folder)
// A folder is walked for .json files; the level tools run it on the files they write.
#include "CoreEngine/Serializer.h"

#include <rapidjson/document.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using OrvEngine::JsonWriter;

namespace {

bool IsWholeNumberText(const char* begin, const char* end)
{
    for (const char* c = begin; c != end; ++c) {
        if (*c == '.' || *c == 'e' || *c == 'E') return false;
    }
    return true;
}

// Keeps each number's text so that whole numbers and fractions can be told apart.
struct Rewriter : rapidjson::BaseReaderHandler<rapidjson::UTF8<>, Rewriter> {
    explicit Rewriter(JsonWriter& out) : writer(out) {}
    JsonWriter& writer;

    bool Null() { return writer.Null(); }
    bool Bool(bool b) { return writer.Bool(b); }
    bool RawNumber(const char* text, rapidjson::SizeType length, bool)
    {
        const std::string number(text, length);
        if (IsWholeNumberText(number.data(), number.data() + length)) {
            return writer.RawValue(number.c_str(), length, rapidjson::kNumberType);
        }
        return writer.Double(static_cast<double>(std::strtof(number.c_str(), nullptr)));
    }
    bool String(const char* s, rapidjson::SizeType length, bool) { return writer.String(s, length); }
    bool StartObject() { return writer.StartObject(); }
    bool Key(const char* s, rapidjson::SizeType length, bool) { return writer.Key(s, length); }
    bool EndObject(rapidjson::SizeType count) { return writer.EndObject(count); }
    bool StartArray() { return writer.StartArray(); }
    bool EndArray(rapidjson::SizeType count) { return writer.EndArray(count); }
};

bool Rewrite(const fs::path& path, bool& changed)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream contents;
    contents << in.rdbuf();
    const std::string old_text = contents.str();

    rapidjson::StringBuffer buffer;
    JsonWriter writer(buffer);
    Rewriter rewriter(writer);
    rapidjson::Reader reader;
    rapidjson::StringStream stream(old_text.c_str());
    if (reader.Parse<rapidjson::kParseNumbersAsStringsFlag>(stream, rewriter).IsError()) {
        std::cerr << path.string() << ": not JSON, left as it is\n";
        return false;
    }
    const std::string fresh(buffer.GetString(), buffer.GetSize());
    changed = fresh != old_text;
    if (!changed) return true;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << fresh;
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<fs::path> targets;
    for (int i = 1; i < argc; ++i) targets.emplace_back(argv[i]);
    if (targets.empty()) targets.emplace_back("../Resources/Data");
    int files = 0, rewritten = 0, failed = 0;
    const auto rewrite = [&](const fs::path& path) {
        ++files;
        bool changed = false;
        if (!Rewrite(path, changed)) ++failed;
        else if (changed) ++rewritten;
    };
    for (const fs::path& target : targets) {
        if (fs::is_regular_file(target)) {
            rewrite(target);
            continue;
        }
        if (!fs::is_directory(target)) {
            std::cerr << target.string() << " is neither a file nor a folder\n";
            return 2;
        }
        for (const auto& entry : fs::recursive_directory_iterator(target)) {
            if (entry.is_regular_file() && entry.path().extension() == ".json") rewrite(entry.path());
        }
    }
    std::cout << files << " files, " << rewritten << " rewritten, " << failed << " not JSON\n";
    return failed == 0 ? 0 : 1;
}
