// Writes the printer's PPD as it is installed: the PPD of the source tree with
// the code of each Quick Color preset choice generated from the panel's own
// preset table, so that a job naming only a preset (from any program's
// dialog) gives the printer the same settings as the panel's preset.
//
//   write-ppd SOURCE.ppd OUTPUT.ppd
//
// The tree's PPD carries the code as last written, so that a queue made from
// it gets the presets too; the build writes it again into the stage, and a
// test fails when the two differ (the table changed and the PPD was not
// written again: `cmake --build BUILD --target update-ppd`).
//
// A preset's code sets each of the 21 advanced options to the choice the
// preset table gives (the choice at that index of the option in the PPD),
// clears the printer-profile paths of the profile menus, and lets EconoMode,
// whose code runs earlier, switch the edge enhancements the table names.
// Fails (status 1, one line) when the PPD cannot carry the table: an option
// or a choice index missing, a profile menu without its path option, or a
// Quick Color option that does not run after every option it sets.
#include "PaneTables.h"
#include "ProfilePathOption.h"

#include <cups/ppd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr const char* kQuickColor = "VXQuickColor";
constexpr const char* kEconoMode = "VXEconoMode";
constexpr int kPresetCount = 3;
// The note below the first line of every PPD this tool writes.
constexpr const char* kWrittenNote[] = {
    "*% The Quick Color presets' code is written from the panel's preset table",
    "*% by write-ppd (cmake --build BUILD --target update-ppd); never by hand."};

struct PPDCloser {
    void operator()(ppd_file_t* ppd) const { ppdClose(ppd); }
};

int fail(const std::string& message) {
    std::fprintf(stderr, "write-ppd: %s\n", message.c_str());
    return 1;
}

std::string put(const std::string& key, const std::string& name) {
    return "userdict /" + key + " /" + name + " put\n";
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3)
        return fail("usage: write-ppd SOURCE.ppd OUTPUT.ppd");
    std::unique_ptr<ppd_file_t, PPDCloser> ppd(ppdOpenFile(argv[1]));
    if (!ppd)
        return fail(std::string(argv[1]) + " is not a usable PPD");

    ppd_option_t* quick = ppdFindOption(ppd.get(), kQuickColor);
    if (!quick || quick->num_choices < kPresetCount)
        return fail("the PPD has no Quick Color option with three presets");
    float latestSet = 0;
    auto runsBefore = [&](const char* keyword) -> bool {
        ppd_option_t* option = ppdFindOption(ppd.get(), keyword);
        if (!option)
            return false;
        latestSet = std::max(latestSet, option->order);
        return true;
    };
    if (!runsBefore(kEconoMode))
        return fail("the PPD has no EconoMode option");

    // One code text per preset.
    std::string code[kPresetCount];
    std::string econo[kPresetCount];
    for (int q = 0; q < kPresetCount; ++q)
        code[q] = put(kQuickColor, quick->choices[q].choice);
    for (const PDE::QuickColorPreset& preset : PDE::kQuickColorPresets) {
        const PDE::ControlRowTemplate& row = PDE::kAdvancedColorOptionsRows[preset.row];
        const std::string keyword = row.ppdKeyword;
        if (!runsBefore(row.ppdKeyword))
            return fail("the PPD has no option " + keyword);
        ppd_option_t* option = ppdFindOption(ppd.get(), row.ppdKeyword);
        auto choiceAt = [&](int index, std::string* choice) {
            if (index < 0 || index >= option->num_choices)
                return false;
            *choice = option->choices[index].choice;
            return true;
        };
        for (int q = 0; q < kPresetCount; ++q) {
            std::string choice;
            if (!choiceAt(preset.preset[q], &choice))
                return fail(keyword + " has no choice at index " +
                            std::to_string(preset.preset[q]));
            code[q] += put(keyword, choice);
        }
        const int econoIndex[kPresetCount] = {preset.econoPreset0, -1, preset.econoPreset2};
        for (int q = 0; q < kPresetCount; ++q) {
            std::string choice;
            if (econoIndex[q] >= 0 && !choiceAt(econoIndex[q], &choice))
                return fail(keyword + " has no choice at index " + std::to_string(econoIndex[q]));
            if (econoIndex[q] >= 0)
                econo[q] += put(keyword, choice);
        }
        if (row.profileList != PDE::kProfileListNone) {
            const std::string pathOption = PrintHost::profilePathOption(keyword);
            if (!ppdFindCustomOption(ppd.get(), pathOption.c_str()) ||
                !runsBefore(pathOption.c_str()))
                return fail("the profile menu " + keyword + " has no custom option " + pathOption);
            for (std::string& text : code)
                text += "userdict /" + PrintHost::profilePathKey(keyword) + " undef\n";
        }
    }
    if (quick->order <= latestSet)
        return fail("VXQuickColor must run after every option its presets set (order " +
                    std::to_string(quick->order) + " <= " + std::to_string(latestSet) + ")");
    for (int q = 0; q < kPresetCount; ++q) {
        if (!econo[q].empty())
            code[q] += std::string("userdict /") + kEconoMode + " known {userdict /" + kEconoMode +
                       " get /True eq} {false} ifelse {\n" + econo[q] + "} if\n";
        code[q].pop_back(); // the closing quote follows the last line
    }

    // The source with the three presets' code replaced, byte for byte
    // otherwise. The code a PPD already carries (one line or several, up to
    // the closing quote) is replaced whole, so the tree's PPD, which carries
    // the code written last, is written again unchanged while the table agrees.
    std::ifstream in(argv[1], std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::string out;
    std::istringstream lines(text.str());
    std::string line;
    int replaced = 0;
    bool noteSeen = false;
    while (std::getline(lines, line)) {
        if (line.rfind(kWrittenNote[0], 0) == 0)
            noteSeen = true;
        for (int q = 0; q < kPresetCount; ++q) {
            const std::string head =
                std::string("*") + kQuickColor + " " + quick->choices[q].choice;
            if (line.compare(0, head.size(), head) != 0 ||
                (line.size() > head.size() && line[head.size()] != '/' && line[head.size()] != ':'))
                continue;
            const auto open = line.find('"');
            if (open == std::string::npos)
                return fail("the code of " + head + " has no opening quote");
            std::string rest = line.substr(open + 1);
            while (rest.find('"') == std::string::npos) {
                std::string next;
                if (!std::getline(lines, next))
                    return fail("the code of " + head + " has no closing quote");
                rest += '\n' + next;
            }
            line = line.substr(0, open + 1) + code[q] + rest.substr(rest.rfind('"'));
            ++replaced;
        }
        out += line;
        out += '\n';
    }
    if (replaced != kPresetCount)
        return fail("found " + std::to_string(replaced) + " of the three preset choices");
    const std::string temporary = std::string(argv[2]) + ".tmp";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        // The first line must stay *PPD-Adobe; the note follows it once.
        const auto firstEnd = out.find('\n');
        file << out.substr(0, firstEnd + 1);
        if (!noteSeen)
            file << kWrittenNote[0] << '\n' << kWrittenNote[1] << '\n';
        file << out.substr(firstEnd + 1);
        if (!file.flush())
            return fail(std::string("cannot write ") + argv[2]);
    }
    if (std::rename(temporary.c_str(), argv[2]) != 0)
        return fail(std::string("cannot write ") + argv[2]);
    return 0;
}
