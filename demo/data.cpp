#include "data.h"

namespace {

// A small fixed generator, so every run shows the same findings.
struct Random {
    unsigned state = 20261205u;
    unsigned Next(unsigned bound) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % bound;
    }
};

const wchar_t* const kAreas[] = {L"C:\\Users\\ana\\Documents", L"C:\\Users\\ana\\Downloads",
                                 L"C:\\Program Files", L"D:\\Archive"};
const wchar_t* const kFolders[] = {L"Invoices", L"Tools", L"Setup", L"Old projects", L"Photos", L"Drivers",
                                   L"Backups", L"Mail attachments"};
const wchar_t* const kStems[] = {L"report", L"setup", L"invoice", L"update", L"crack", L"toolbar", L"viewer",
                                 L"helper", L"budget", L"notes", L"player", L"codec"};
const wchar_t* const kTypes[] = {L".docm", L".zip", L".exe"};
const wchar_t* const kThreats[] = {L"Adware.Toolbar", L"PUA.Bundler", L"Trojan.Macro", L"Riskware.Crack",
                                   L"Heuristic.Packed", L"Tracking.Cookie"};

}  // namespace

const wchar_t* SeverityName(int severity) {
    static const wchar_t* const names[] = {L"info", L"low", L"medium", L"high"};
    return names[severity & 3];
}

std::vector<Finding> MakeFindings() {
    Random random;
    std::vector<Finding> findings;
    DWORD next = 1;
    for (DWORD area = 0; area < 4; ++area) {
        Finding top{next++, 0, area + 1, kAreas[area], L"", kAreas[area], L"", 0, 0, true, false, area % 2 == 0};
        findings.push_back(top);
        for (int f = 0; f < 5; ++f) {
            const wchar_t* folderName = kFolders[random.Next(8)];
            Finding folder{next++, top.id, area + 1, folderName, L"", top.path + L"\\" + folderName, L"", 0, 0,
                           true, false, f % 2 == 0};
            findings.push_back(folder);
            int files = 10 + static_cast<int>(random.Next(10));
            for (int i = 0; i < files; ++i) {
                int kind = 1 + static_cast<int>(random.Next(3));
                std::wstring name = std::wstring(kStems[random.Next(12)]) + L"_" + std::to_wstring(random.Next(900) + 100) +
                                    kTypes[kind - 1];
                Finding file{next++, folder.id, area + 1, name, kThreats[random.Next(6)],
                             folder.path + L"\\" + name, L"", static_cast<int>(1 + random.Next(3)), kind, false,
                             random.Next(9) == 0, false};
                file.found = L"2026-11-" + std::to_wstring(10 + random.Next(20)) + L" " +
                             std::to_wstring(8 + random.Next(12)) + L":" + std::to_wstring(10 + random.Next(50));
                findings.push_back(file);
            }
        }
    }
    return findings;
}
