#include "disc/name_style.h"

#include <string_view>

#include "disc/iso_import.h"
#include "disc/isofs.h"

namespace {

// The name without a ";N" version and a forced dot, noting in `style` how it was written.
std::string_view PlainName(std::string_view name, TreeStyle& style) {
    const std::size_t semicolon = name.rfind(';');
    if (semicolon != std::string_view::npos && semicolon + 1 < name.size() &&
        name.find_first_not_of("0123456789", semicolon + 1) == std::string_view::npos) {
        style.versions = true;
        name = name.substr(0, semicolon);
    }
    if (name.size() > 1 && name.back() == '.')
        return name.substr(0, name.size() - 1);
    if (name.find('.') == std::string_view::npos)
        style.noForcedDots = true;
    return name;
}

// Notes the style of the last name of each path.
void NoteStyle(std::string_view path, TreeStyle& style) {
    PlainName(path.substr(path.rfind('/') + 1), style);
}

// Whether a name of the ISO 9660 tree, without its version, keeps to the 8.3 names of level 1.
bool IsLevel1Name(std::string_view name, bool folder) {
    const std::size_t dot = name.find('.');
    if (folder || dot == std::string_view::npos)
        return dot == std::string_view::npos && name.size() <= 8;
    return name.rfind('.') == dot && dot <= 8 && name.size() - dot - 1 <= 3;
}

} // namespace

CResult<NameStyle> SourceNameStyle(const std::string& sourcePath, bool needsLevel3) {
    NameStyle style;
    bool level1 = true;
    CIsoImport isoNames(sourcePath, {}, CIsoImport::Names::Iso9660Raw);
    if (!isoNames.Load())
        return Failure{isoNames.Error()};
    // Only the names walked count here; why a walk stopped is the rebuild's own walk to tell.
    static_cast<void>(isoNames.ForEachFile([&](IsoFile*, const std::string& path) {
        std::string_view rest = path;
        while (!rest.empty()) {
            rest.remove_prefix(1);
            const std::size_t slash = rest.find('/');
            const bool folder = slash != std::string_view::npos;
            const std::string_view name = folder ? rest.substr(0, slash) : PlainName(rest, style.iso);
            level1 = level1 && IsLevel1Name(name, folder);
            rest.remove_prefix(folder ? slash : rest.size());
        }
        return CResult<void>();
    }));
    style.isoLevel = needsLevel3 ? 3 : level1 ? 1 : 2;

    CIsoImport jolietNames(sourcePath, {}, CIsoImport::Names::JolietRaw);
    if (iso_read_image_features_has_joliet(isoNames.Features()) && jolietNames.Load()) {
        static_cast<void>(jolietNames.ForEachFile([&](IsoFile*, const std::string& path) {
            NoteStyle(path, style.joliet);
            return CResult<void>();
        }));
    }
    return style;
}
