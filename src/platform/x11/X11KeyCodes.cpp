#include "platform/x11/X11KeyCodes.h"

#include <array>
#include <utility>

namespace corvane::X11KeyCodes {

namespace {
// Virtual key code and XKB key name. Where two positions stand for one key, the first row wins
// when grabbing: PC keyboards have Insert where the help key would be.
constexpr std::array<std::pair<qint64, std::string_view>, 113> table{{
    // Letters.
    {0, "AC01"},
    {1, "AC02"},
    {2, "AC03"},
    {3, "AC04"},
    {4, "AC06"},
    {5, "AC05"},
    {6, "AB01"},
    {7, "AB02"},
    {8, "AB03"},
    {9, "AB04"},
    {11, "AB05"},
    {12, "AD01"},
    {13, "AD02"},
    {14, "AD03"},
    {15, "AD04"},
    {16, "AD06"},
    {17, "AD05"},
    {31, "AD09"},
    {32, "AD07"},
    {34, "AD08"},
    {35, "AD10"},
    {37, "AC09"},
    {38, "AC07"},
    {40, "AC08"},
    {45, "AB06"},
    {46, "AB07"},
    // The digit row.
    {18, "AE01"},
    {19, "AE02"},
    {20, "AE03"},
    {21, "AE04"},
    {23, "AE05"},
    {22, "AE06"},
    {26, "AE07"},
    {28, "AE08"},
    {25, "AE09"},
    {29, "AE10"},
    {27, "AE11"},
    {24, "AE12"},
    // Punctuation.
    {33, "AD11"},
    {30, "AD12"},
    {41, "AC10"},
    {39, "AC11"},
    {42, "BKSL"},
    {43, "AB08"},
    {47, "AB09"},
    {44, "AB10"},
    {50, "TLDE"},
    {10, "LSGT"},
    // Text and editing keys.
    {36, "RTRN"},
    {48, "TAB"},
    {49, "SPCE"},
    {51, "BKSP"},
    {53, "ESC"},
    {117, "DELE"},
    {114, "INS"},
    {114, "HELP"},
    // Modifier keys.
    {55, "LWIN"},
    {54, "RWIN"},
    {56, "LFSH"},
    {60, "RTSH"},
    {58, "LALT"},
    {61, "RALT"},
    {59, "LCTL"},
    {62, "RCTL"},
    {57, "CAPS"},
    // Navigation.
    {115, "HOME"},
    {119, "END"},
    {116, "PGUP"},
    {121, "PGDN"},
    {123, "LEFT"},
    {124, "RGHT"},
    {125, "DOWN"},
    {126, "UP"},
    // Function keys.
    {122, "FK01"},
    {120, "FK02"},
    {99, "FK03"},
    {118, "FK04"},
    {96, "FK05"},
    {97, "FK06"},
    {98, "FK07"},
    {100, "FK08"},
    {101, "FK09"},
    {109, "FK10"},
    {103, "FK11"},
    {111, "FK12"},
    {105, "FK13"},
    {107, "FK14"},
    {113, "FK15"},
    {106, "FK16"},
    {64, "FK17"},
    {79, "FK18"},
    {80, "FK19"},
    {90, "FK20"},
    // Keypad.
    {82, "KP0"},
    {83, "KP1"},
    {84, "KP2"},
    {85, "KP3"},
    {86, "KP4"},
    {87, "KP5"},
    {88, "KP6"},
    {89, "KP7"},
    {91, "KP8"},
    {92, "KP9"},
    {65, "KPDL"},
    {75, "KPDV"},
    {76, "KPEN"},
    {81, "KPEQ"},
    {78, "KPSU"},
    {67, "KPMU"},
    {69, "KPAD"},
    // Sound.
    {74, "MUTE"},
    {72, "VOL+"},
    {73, "VOL-"},
}};
} // namespace

std::vector<std::string_view> keyNames(qint64 keyCode) {
    std::vector<std::string_view> names;
    for (const auto& [code, name] : table)
        if (code == keyCode)
            names.push_back(name);
    return names;
}

std::optional<qint64> keyCode(std::string_view keyName) {
    for (const auto& [code, name] : table)
        if (name == keyName)
            return code;
    return std::nullopt;
}

} // namespace corvane::X11KeyCodes
