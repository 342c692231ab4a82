// zelkor-embed: turns files into C++ arrays so that they become part of a
// program at build time.
//   zelkor-embed OUT.cpp FUNCTION FILE...
// writes a source file defining `std::span<const TEmbeddedFile> FUNCTION()`
// (declared in the header of its users; the file type is in
// platform/EmbeddedFile.h) listing the files in the order given, each under
// its file name without the folder.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: zelkor-embed OUT.cpp FUNCTION FILE...\n");
        return 2;
    }
    const std::string outPath = argv[1], function = argv[2];
    std::string text = "// Made by zelkor-embed at build time.\n#include <span>\n#include \"platform/EmbeddedFile.h\"\n\nnamespace zelkor {\n\nnamespace {\n\n";
    std::string table;
    for (int i = 3; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "zelkor-embed: cannot read %s\n", argv[i]);
            return 1;
        }
        const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const std::string name = std::filesystem::path(argv[i]).filename().string();
        const std::string array = "kFile" + std::to_string(i - 3);
        text += "// " + name + "\nconst uint8_t " + array + "[" + std::to_string(std::max<size_t>(bytes.size(), 1)) + "] = {";
        for (size_t k = 0; k < bytes.size(); ++k) {
            if (k % 24 == 0) text += "\n   ";
            text += " " + std::to_string(bytes[k]) + ",";
        }
        text += "\n};\n\n";
        table += "    {\"" + name + "\", std::span<const uint8_t>(" + array + ", " + std::to_string(bytes.size()) + ")},\n";
    }
    text += "const TEmbeddedFile kFiles[] = {\n" + table + "};\n\n} // namespace\n\n";
    text += "std::span<const TEmbeddedFile> " + function + "() { return kFiles; }\n\n} // namespace zelkor\n";
    // Written beside and renamed, so that a failed run leaves no half file.
    const std::string temporary = outPath + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out) {
            std::fprintf(stderr, "zelkor-embed: cannot write %s\n", outPath.c_str());
            return 1;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, outPath, ec);
    if (ec) {
        std::fprintf(stderr, "zelkor-embed: cannot write %s\n", outPath.c_str());
        return 1;
    }
    return 0;
}
