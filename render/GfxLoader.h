#pragma once
// TGfxLoader fills the image and font lists from the XML resource
// description: for every image and font entry of the wanted group, in
// document order, it makes the item and reads it from the archive named by
// the entry, keeping it only when that succeeds.
//
//   <resources>
//     <group name="Content">
//       <image name="ground" source="zelkor.dat" key="ground" quality="high" alphalevel="full"/>
//       <font name="menu" source="zelkor.dat" key="font_menu"/>
//     </group>
//   </resources>

#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "assets/AssetDb.h"
#include "render/GfxFonts.h"
#include "render/GfxImages.h"
#include "render/GfxDevices.h"

namespace zelkor {

using TResourceLoadEvent = std::function<void(TObject* Sender, const std::string& Text)>;

class TGfxLoader : public TGfxSubscriber {
public:
    // A description is a short text; a file larger than this is no description.
    static constexpr uint64_t kMaxDescriptionSize = uint64_t{16} << 20;
    // The decoded bytes of all records one Load may take.
    static constexpr uint64_t kMaxContentBytes = uint64_t{1} << 30;

    TGfxImages* Images() const { return images_; }
    void SetImages(TGfxImages* images) { images_ = images; }
    TGfxFonts* Fonts() const { return fonts_; }
    void SetFonts(TGfxFonts* fonts) { fonts_ = fonts; }
    TAssetDb* Archive() const { return archive_; }
    void SetArchive(TAssetDb* archive) { archive_ = archive; }
    const std::string& XMLDescFile() const { return descFile_; }
    void SetXMLDescFile(const std::string& file) { descFile_ = file; }

    // After each image or font that loaded: key + "\" + the file name of its source.
    TResourceLoadEvent OnLoad;
    TResourceLoadEvent OnUnload;  // never fired

    // Loads the group `group` (compared case and all). True when the
    // description could be read, whatever became of its entries.
    bool Load(const std::string& group);

    // What went wrong with the description or the dropped entries, one line each.
    const std::vector<std::string>& Problems() const { return problems_; }

    // For the description scanner: a start or empty-element tag inside the
    // wanted group, its name lower-cased, its attributes.
    void LoadEntry(const std::string& element, const std::vector<std::pair<std::string, std::string>>& attributes);

private:
    TGfxImages* images_ = nullptr;
    TGfxFonts* fonts_ = nullptr;
    TAssetDb* archive_ = nullptr;
    std::string descFile_;
    std::vector<std::string> problems_;
    std::set<std::string> seen_;      // every entry loaded so far, all its attributes
    std::set<std::string> repeated_;  // entries already said to be listed again
    uint64_t loadedBytes_ = 0;        // decoded bytes of the records loaded so far
};

} // namespace zelkor
