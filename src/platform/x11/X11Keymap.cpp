#include "platform/x11/X11Keymap.h"

#include "platform/x11/X11KeyCodes.h"

#include "platform/x11/X11Xkb.h"
#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace corvane {

std::vector<uint16_t> lockModifierCombinations(uint16_t numLockMask) {
    std::vector<uint16_t> combinations{0, XCB_MOD_MASK_LOCK};
    if (numLockMask && numLockMask != XCB_MOD_MASK_LOCK) {
        combinations.push_back(numLockMask);
        combinations.push_back(static_cast<uint16_t>(numLockMask | XCB_MOD_MASK_LOCK));
    }
    return combinations;
}

namespace {
struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeReply>;

xkb_keysym_t levelZeroSym(xkb_keymap* keymap, xkb_keycode_t keycode, xkb_layout_index_t layout) {
    const xkb_keysym_t* syms = nullptr;
    const int count = xkb_keymap_key_get_syms_by_level(keymap, keycode, layout, 0, &syms);
    return count > 0 ? syms[0] : XKB_KEY_NoSymbol;
}
} // namespace

bool X11Keymap::setUpExtension(xcb_connection_t* connection) {
    if (!connection || xcb_connection_has_error(connection))
        return false;
    return xkb_x11_setup_xkb_extension(connection, XKB_X11_MIN_MAJOR_XKB_VERSION,
                                       XKB_X11_MIN_MINOR_XKB_VERSION, XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS,
                                       nullptr, nullptr, nullptr, nullptr) == 1;
}

std::optional<uint8_t> X11Keymap::eventBase(xcb_connection_t* connection) {
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection, &xcb_xkb_id);
    if (!extension || !extension->present)
        return std::nullopt;
    return extension->first_event;
}

std::optional<uint8_t> X11Keymap::watchKeymapChanges(xcb_connection_t* connection,
                                                     bool detectableAutoRepeat) {
    if (!setUpExtension(connection))
        return std::nullopt;
    const uint16_t changes = XCB_XKB_EVENT_TYPE_NEW_KEYBOARD_NOTIFY | XCB_XKB_EVENT_TYPE_MAP_NOTIFY;
    xcb_xkb_select_events(connection, XCB_XKB_ID_USE_CORE_KBD, changes, 0, changes, 0xff, 0xff, nullptr);
    if (detectableAutoRepeat) {
        const uint32_t detectable = XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT;
        std::free(xcb_xkb_per_client_flags_reply(
            connection,
            xcb_xkb_per_client_flags(connection, XCB_XKB_ID_USE_CORE_KBD, detectable, detectable, 0, 0, 0),
            nullptr));
    }
    return eventBase(connection);
}

X11Keymap::X11Keymap(xcb_connection_t* connection) : m_connection(connection) {
    if (!setUpExtension(connection))
        return;
    const int32_t device = xkb_x11_get_core_keyboard_device_id(connection);
    if (device < 0)
        return;
    m_context = xkb_context_new(
        static_cast<xkb_context_flags>(XKB_CONTEXT_NO_DEFAULT_INCLUDES | XKB_CONTEXT_NO_ENVIRONMENT_NAMES));
    if (!m_context)
        return;
    m_keymap = xkb_x11_keymap_new_from_device(m_context, connection, device, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (m_keymap)
        readModifierMasks();
}

X11Keymap::~X11Keymap() {
    if (m_keymap)
        xkb_keymap_unref(m_keymap);
    if (m_context)
        xkb_context_unref(m_context);
}

std::optional<xcb_keycode_t> X11Keymap::keycode(qint64 keyCode) const {
    if (!m_keymap)
        return std::nullopt;
    for (std::string_view name : X11KeyCodes::keyNames(keyCode)) {
        const xkb_keycode_t keycode = xkb_keymap_key_by_name(m_keymap, std::string(name).c_str());
        // Core requests carry key codes in one byte.
        if (keycode != XKB_KEYCODE_INVALID && keycode >= 8 && keycode <= 255)
            return static_cast<xcb_keycode_t>(keycode);
    }
    return std::nullopt;
}

std::optional<qint64> X11Keymap::keyCode(xcb_keycode_t keycode) const {
    if (!m_keymap)
        return std::nullopt;
    const char* name = xkb_keymap_key_get_name(m_keymap, keycode);
    if (!name)
        return std::nullopt;
    return X11KeyCodes::keyCode(name);
}

std::vector<xcb_keycode_t> X11Keymap::keycodesOfSymbol(uint32_t keysym) const {
    std::vector<xcb_keycode_t> keycodes;
    if (!m_keymap)
        return keycodes;
    const xkb_layout_index_t layouts = xkb_keymap_num_layouts(m_keymap);
    // Core requests carry key codes in one byte.
    const xkb_keycode_t last = std::min<xkb_keycode_t>(xkb_keymap_max_keycode(m_keymap), 255);
    for (xkb_keycode_t keycode = std::max<xkb_keycode_t>(xkb_keymap_min_keycode(m_keymap), 8);
         keycode <= last; ++keycode) {
        for (xkb_layout_index_t layout = 0; layout < layouts; ++layout) {
            if (levelZeroSym(m_keymap, keycode, layout) == keysym) {
                keycodes.push_back(static_cast<xcb_keycode_t>(keycode));
                break;
            }
        }
    }
    return keycodes;
}

uint32_t X11Keymap::currentLayout() const {
    Reply<xcb_xkb_get_state_reply_t> state(xcb_xkb_get_state_reply(
        m_connection, xcb_xkb_get_state(m_connection, XCB_XKB_ID_USE_CORE_KBD), nullptr));
    return state ? state->group : 0;
}

bool X11Keymap::printsLatin(uint32_t layout) const {
    const xkb_keycode_t a = xkb_keymap_key_by_name(m_keymap, "AC01");
    if (a == XKB_KEYCODE_INVALID)
        return false;
    const uint32_t character = xkb_keysym_to_utf32(levelZeroSym(m_keymap, a, layout));
    return character >= 'a' && character <= 'z';
}

std::optional<xcb_keycode_t> X11Keymap::keycodeForSymbol(uint32_t keysym) const {
    const uint32_t layouts = xkb_keymap_num_layouts(m_keymap);
    if (layouts == 0)
        return std::nullopt;
    const uint32_t current = currentLayout() % layouts;
    const auto find = [&](uint32_t layout) -> std::optional<xcb_keycode_t> {
        for (xkb_keycode_t key = xkb_keymap_min_keycode(m_keymap); key <= xkb_keymap_max_keycode(m_keymap);
             ++key)
            if (key <= 255 && levelZeroSym(m_keymap, key, layout) == keysym)
                return static_cast<xcb_keycode_t>(key);
        return std::nullopt;
    };
    if (std::optional<xcb_keycode_t> key = find(current))
        return key;
    for (uint32_t layout = 0; layout < layouts; ++layout)
        if (layout != current)
            if (std::optional<xcb_keycode_t> key = find(layout))
                return key;
    return std::nullopt;
}

std::optional<QString> X11Keymap::keyText(qint64 keyCode) const {
    const std::optional<xcb_keycode_t> key = keycode(keyCode);
    if (!key)
        return std::nullopt;
    const uint32_t layouts = xkb_keymap_num_layouts(m_keymap);
    uint32_t layout = layouts > 0 ? currentLayout() % layouts : 0;
    if (!printsLatin(layout))
        for (uint32_t candidate = 0; candidate < layouts; ++candidate)
            if (printsLatin(candidate)) {
                layout = candidate;
                break;
            }
    const char32_t character = xkb_keysym_to_utf32(levelZeroSym(m_keymap, *key, layout));
    // Nothing, or a control character (return, tab, escape...), is no text.
    if (character < 0x20 || character == 0x7f)
        return std::nullopt;
    return QString::fromUcs4(&character, 1);
}

void X11Keymap::readModifierMasks() {
    Reply<xcb_get_modifier_mapping_reply_t> mapping(
        xcb_get_modifier_mapping_reply(m_connection, xcb_get_modifier_mapping(m_connection), nullptr));
    if (!mapping)
        return;
    const xcb_keycode_t* keycodes = xcb_get_modifier_mapping_keycodes(mapping.get());
    const int perModifier = mapping->keycodes_per_modifier;
    uint16_t alt = 0, super = 0, numLock = 0;
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < perModifier; ++i) {
            const xcb_keycode_t keycode = keycodes[modifier * perModifier + i];
            if (keycode == 0)
                continue;
            for (xkb_level_index_t level = 0; level < 2; ++level) {
                const xkb_keysym_t* syms = nullptr;
                const int count = xkb_keymap_key_get_syms_by_level(m_keymap, keycode, 0, level, &syms);
                for (int s = 0; s < count; ++s) {
                    const uint16_t bit = static_cast<uint16_t>(1u << modifier);
                    switch (syms[s]) {
                    case XKB_KEY_Alt_L:
                    case XKB_KEY_Alt_R:
                        alt |= bit;
                        break;
                    case XKB_KEY_Super_L:
                    case XKB_KEY_Super_R:
                        super |= bit;
                        break;
                    case XKB_KEY_Num_Lock:
                        numLock |= bit;
                        break;
                    default:
                        break;
                    }
                }
            }
        }
    }
    // Shift, Lock and Control are fixed; the rest are wherever the modifier map puts them.
    const uint16_t fixed = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_LOCK | XCB_MOD_MASK_CONTROL;
    // Where a keysym sits on two modifiers, the lower one stands for it.
    auto lowestBit = [](uint16_t bits) { return static_cast<uint16_t>(bits & (~bits + 1)); };
    if (alt & ~fixed)
        m_altMask = lowestBit(alt & ~fixed);
    if (super & ~fixed)
        m_superMask = lowestBit(super & ~fixed);
    if (numLock & ~fixed)
        m_numLockMask = lowestBit(numLock & ~fixed);
}

} // namespace corvane
