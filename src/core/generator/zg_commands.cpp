// Loading and saving generator presets: the settings window's "Load" and
// "Save" with their dialogs and messages, around the file's reader and
// writer.

#include <algorithm>
#include <cstring>
#include <exception>

#include "commands/file_commands.h"
#include "commands/lifecycle.h"
#include "generator/list_capacity.h"
#include "generator/zg_file.h"
#include "model/file_kinds.h"
#include "platform/file_io.h"

namespace zorvane {

namespace {

constexpr char kFilter[] = "Generator Data|*.zg";
constexpr char kOpenFailedText[] = "Error opening *.zg file.";

bool FailLoad(UserInterface& ui, const std::string& reason) {
    ui.message("Error", reason.empty() ? kOpenFailedText : std::string(kOpenFailedText) + "\r" + reason, Icon::Error);
    ui.setStatus("Error loading generator data!");
    return false;
}

}  // namespace

void ApplyPreset(GeneratorPreset&& preset, Project& project, MapGenerator& generator, GeneratorSettings& settings) {
    settings = std::move(preset.Settings);
    project.ZpPath = std::move(preset.ZpPath);
    project.Palette = preset.Palette;
    project.SetBitmapCount(preset.BitmapCount);
    if (!preset.Pixels.empty())
        std::memcpy(project.AllBitmapBytes().data(), preset.Pixels.data(), preset.Pixels.size());
    project.NewTiles = std::move(preset.Tiles);
    project.InfoHeader = preset.InfoHeader;
    project.FileHeader = preset.FileHeader;
    project.ZmeVariant = preset.ZmeVariant;
    project.BottomUpRows = preset.ZmeVariant || project.InfoHeader[12] == 32;

    generator.ClearLearned();
    generator.SetSquares(std::move(preset.Squares));
    generator.ObjSize = std::move(preset.ObjSize);
    generator.ObjStarts = std::move(preset.ObjStarts);
    generator.TallestObject = preset.TallestObject;
    generator.Counts = std::move(preset.Counts);
    generator.LargestObject = 0;
    for (std::size_t i = 0; i + 1 < generator.ObjSize.size(); ++i)
        generator.LargestObject = std::max(generator.LargestObject, generator.ObjSize[i]);
    generator.Learned = true;
}

bool SaveZGFile(const Project& project, UserInterface& ui, const MapGenerator& generator,
                const GeneratorSettings& settings, const std::string& path) {
    ui.setStatus("Saving generator data...");
    ProgressScope progress(ui);
    try {
        SaveFileAtomically(path, EncodeZG(project, generator, settings));
    } catch (const std::exception& e) {
        FailSave(ui, path, e.what());
        return false;
    }
    ui.setStatus("Generator data saved.");
    return true;
}

bool SaveZG(const Project& project, UserInterface& ui, const MapGenerator& generator,
            const GeneratorSettings& settings) {
    FileDialog dialog{"SDzg", kFilter, {}, true, true, false, false};
    auto file = ui.chooseFile(dialog);
    if (!file || !ConfirmOverwriteWithExtension(ui, *file, ".zg")) return false;
    return SaveZGFile(project, ui, generator, settings, AbsolutePath(ChangeFileExt(*file, ".zg")));
}

bool LoadZGFile(Project& project, UserInterface& ui, MapGenerator& generator, GeneratorSettings& settings,
                const std::string& path) {
    ui.setStatus("Loading generator data...");
    ProgressScope progress(ui);
    GeneratorPreset preset;
    try {
        const auto bytes = ReadWholeFile(path);
        if (KindOfBytes(bytes) != ProjectFileKind::GeneratorData) return FailLoad(ui, "");
        preset = ParseZG(bytes);
    } catch (const Error& e) {
        return FailLoad(ui, e.what());
    }
    // Data learned before learning refused it would stop generation.
    if (auto problem = learning::CapacityProblem(preset.Squares, learning::EmptySquare::Included))
        return FailLoad(ui, learning::TooMuchToLearnText(*problem, preset.Settings.LearnList));
    ApplyPreset(std::move(preset), project, generator, settings);
    ui.changed(BitmapsChanged());
    ui.setActivity(std::to_string(generator.JoinsCount) + " joins found.");
    ui.changed({Changed::LearnedData | Changed::TilesList, 0, static_cast<int>(project.NewTiles.size()) - 1});
    ui.setStatus("Generator data loaded.");
    return true;
}

bool LoadZG(Project& project, UserInterface& ui, MapGenerator& generator, GeneratorSettings& settings) {
    auto file = ui.chooseFile({.name = "ODzg", .filter = kFilter, .pathMustExist = true, .fileMustExist = true});
    if (!file) return false;
    return LoadZGFile(project, ui, generator, settings, *file);
}

bool SaveZGCommand(const Project& project, UserInterface& ui, const MapGenerator& generator,
                   const GeneratorSettings& settings) {
    if (generator.SquareCount() == 0) {
        ui.inform("Information", "Nothing to save.");
        return false;
    }
    return SaveZG(project, ui, generator, settings);
}

bool LoadZGCommand(Project& project, UserInterface& ui, MapGenerator& generator, GeneratorSettings& settings) {
    if (ProjectInUse(project) && !ui.confirm("Warning", "This operation may affect the current project!")) return false;
    ResetProject(project, ui, ResetSides::TileSet, ResetRedraw::Yes);
    generator.ClearLearned();
    const bool loaded = LoadZG(project, ui, generator, settings);
    // The project is open again when the preset came in or a map is still there.
    project.NoProject = !loaded && project.UsedTiles.empty();
    ui.changed({Changed::LearnedData | Changed::TilesList, 0, static_cast<int>(project.NewTiles.size()) - 1});
    return loaded;
}

}  // namespace zorvane
