#include "render/GfxLoader.h"

#include <expat.h>

#include "platform/RegularFile.h"

namespace zelkor {

namespace {

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

std::string FileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The three-state scanner over the parser's tags.
struct Scanner {
    TGfxLoader* loader;
    std::string group;
    int state = 0;  // 0 outside, 1 inside resources, 2 inside the wanted group
    XML_Parser parser = nullptr;
};

void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** attributes) {
    auto* s = static_cast<Scanner*>(data);
    const std::string element = Lower(name);
    std::vector<std::pair<std::string, std::string>> attrs;
    for (int i = 0; attributes[i] && attributes[i + 1]; i += 2) attrs.emplace_back(attributes[i], attributes[i + 1]);
    if (element == "resources" && s->state == 0) s->state = 1;
    if (element == "group" && s->state == 1) {
        for (const auto& [key, value] : attrs)
            if (key == "name" && value == s->group) s->state = 2;
    }
    if (s->state == 2) s->loader->LoadEntry(element, attrs);
}

void XMLCALL OnEnd(void* data, const XML_Char* name) {
    auto* s = static_cast<Scanner*>(data);
    const std::string element = Lower(name);
    if (element == "resources" && s->state == 1) s->state = 0;
    if (element == "group" && s->state == 2) s->state = 1;
}

} // namespace

bool TGfxLoader::Load(const std::string& group) {
    problems_.clear();
    repeated_.clear();
    seen_.clear();
    loadedBytes_ = 0;
    if (descFile_.empty()) {
        problems_.push_back("no description file");
        return false;
    }
    std::vector<uint8_t> bytes;
    std::string why;
    if (!ReadRegularFile(descFile_, bytes, why, kMaxDescriptionSize)) {
        problems_.push_back("cannot read " + descFile_ + ": " + why);
        return false;
    }
    // Lines end in CR LF whatever the file has.
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 16);
    for (size_t i = 0; i < bytes.size(); ++i) {
        const char c = char(bytes[i]);
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
        if (c == '\n') text += '\r';
        text += c;
    }
    if (!text.empty() && text.back() != '\n') text += "\r\n";

    Scanner scanner{this, group};
    XML_Parser parser = XML_ParserCreate(nullptr);
    if (!parser) {
        problems_.push_back("no XML parser");
        return false;
    }
    scanner.parser = parser;
    XML_SetUserData(parser, &scanner);
    XML_SetElementHandler(parser, OnStart, OnEnd);
    // Entities stay inside the document; nothing from outside is read.
    XML_SetParamEntityParsing(parser, XML_PARAM_ENTITY_PARSING_NEVER);
    if (XML_Parse(parser, text.data(), static_cast<int>(text.size()), XML_TRUE) == XML_STATUS_ERROR) {
        // What came before the damage is loaded; the rest is not.
        problems_.push_back(descFile_ + ":" + std::to_string(XML_GetCurrentLineNumber(parser)) + ": " +
                            XML_ErrorString(XML_GetErrorCode(parser)));
    }
    XML_ParserFree(parser);
    return true;
}

void TGfxLoader::LoadEntry(const std::string& element,
                           const std::vector<std::pair<std::string, std::string>>& attributes) {
    if ((element != "image" && element != "font") || !archive_) return;
    auto attribute = [&](const char* name) {
        for (const auto& [key, value] : attributes)
            if (key == name) return value;
        return std::string();
    };
    std::string name = attribute("name");
    const std::string source = attribute("source");
    const std::string key = attribute("key");
    if (name.empty()) name = key;
    const std::string quality = Lower(attribute("quality"));
    const std::string alpha = Lower(attribute("alphalevel"));
    const TGfxQuality q = quality == "low" ? TGfxQuality::aqLow
                          : quality == "medium" ? TGfxQuality::aqMedium
                                                : TGfxQuality::aqHigh;
    const TAlphaLevel a = alpha == "none" ? TAlphaLevel::alNone
                          : alpha == "mask" ? TAlphaLevel::alMask
                          : alpha == "exclusive" ? TAlphaLevel::alExclusive
                                                  : TAlphaLevel::alFull;

    // An entry that repeats an earlier one in every attribute adds nothing
    // that could be drawn (images are found by name, the first of a name),
    // so it is loaded once however often it is listed.
    std::string signature = element;
    for (const auto& [k, v] : attributes) signature += '\0' + k + '\0' + v;
    if (!seen_.insert(signature).second) {
        if (repeated_.insert(element + " '" + name + "'").second)
            problems_.push_back(element + " '" + name + "': listed again; loaded once");
        return;
    }

    // The archive is opened again only for another file: its name is kept
    // with the description's folder in front.
    const std::string file = FolderOf(descFile_) + FileNameOf(source);
    if (archive_->FileName() != file || !archive_->Opened()) {
        archive_->SetFileName(file);
        archive_->SetOpenMode(TOpenModes::opReadOnly);
        if (!archive_->Open()) {
            problems_.push_back(element + " '" + name + "': " + archive_->LastError());
            return;
        }
    }

    // What the content may take in all: far beyond the game's own, far
    // below what would exhaust the machine.
    const int index = archive_->IndexOf(key);
    const uint64_t size = index >= 0 ? archive_->Record(index).OrigSize : 0;
    if (loadedBytes_ + size > kMaxContentBytes) {
        problems_.push_back(element + " '" + name + "': the content would exceed " + std::to_string(kMaxContentBytes) +
                            " bytes");
        return;
    }

    if (element == "image" && images_) {
        TGfxImage* image = images_->Add();
        image->SetName(name);
        image->SetQuality(q);
        image->SetAlphaLevel(a);
        if (!image->LoadFromAssetDb(key, *archive_)) {
            problems_.push_back("image '" + name + "': " + image->LastError());
            images_->Remove(images_->IndexOf(image));
            return;
        }
        loadedBytes_ += size;
        Fire(OnLoad, this, key + "\\" + FileNameOf(source));
    } else if (element == "font" && fonts_) {
        TGfxFont* font = fonts_->Add();
        font->SetName(name);
        if (!font->LoadFromAssetDb(key, *archive_, a, q)) {
            problems_.push_back("font '" + name + "': " + font->LastError());
            fonts_->Remove(fonts_->IndexOf(font));
            return;
        }
        loadedBytes_ += size;
        Fire(OnLoad, this, key + "\\" + FileNameOf(source));
    }
}

} // namespace zelkor
