// Best results kept per puzzle in the user's registry:
// HKCU\Software\Vornix SDK\Puzzles\<key>, values BestMoves and BestSeconds.
#include <windows.h>

#include "player_state.h"

namespace {

const char PuzzlesKey[] = "Software\\Vornix SDK\\Puzzles\\";

bool ReadValue(HKEY key, const char* name, uint32_t* value)
{
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof data;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof data)
        return false;
    *value = data;
    return true;
}

}  // namespace

BestResult ReadBest(const std::string& key)
{
    BestResult best;
    HKEY handle;
    const std::string path = PuzzlesKey + key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS)
        return best;
    best.any = ReadValue(handle, "BestMoves", &best.moves) &&
               ReadValue(handle, "BestSeconds", &best.seconds);
    if (!best.any)
        best = BestResult();
    RegCloseKey(handle);
    return best;
}

bool WriteBest(const std::string& key, const BestResult& best)
{
    if (!best.any)
        return false;
    HKEY handle;
    const std::string path = PuzzlesKey + key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &handle, nullptr) != ERROR_SUCCESS)
        return false;
    DWORD moves = best.moves;
    DWORD seconds = best.seconds;
    bool ok = RegSetValueExA(handle, "BestMoves", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&moves),
                             sizeof moves) == ERROR_SUCCESS &&
              RegSetValueExA(handle, "BestSeconds", 0, REG_DWORD,
                             reinterpret_cast<const BYTE*>(&seconds), sizeof seconds) == ERROR_SUCCESS;
    RegCloseKey(handle);
    return ok;
}
