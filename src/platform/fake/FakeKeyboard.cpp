#include "platform/fake/FakeKeyboard.h"

namespace corvane {

FakeKeyboard::FakeKeyboard() {
    // Virtual key code and the character a US layout prints on that key.
    const std::pair<qint64, const char*> us[] = {
        {0, "a"},   {1, "s"},  {2, "d"},  {3, "f"},  {4, "h"},  {5, "g"},  {6, "z"},  {7, "x"},
        {8, "c"},   {9, "v"},  {11, "b"}, {12, "q"}, {13, "w"}, {14, "e"}, {15, "r"}, {16, "y"},
        {17, "t"},  {18, "1"}, {19, "2"}, {20, "3"}, {21, "4"}, {22, "6"}, {23, "5"}, {24, "="},
        {25, "9"},  {26, "7"}, {27, "-"}, {28, "8"}, {29, "0"}, {30, "]"}, {31, "o"}, {32, "u"},
        {33, "["},  {34, "i"}, {35, "p"}, {37, "l"}, {38, "j"}, {39, "'"}, {40, "k"}, {41, ";"},
        {42, "\\"}, {43, ","}, {44, "/"}, {45, "n"}, {46, "m"}, {47, "."}, {50, "`"},
    };
    for (const auto& [code, text] : us)
        m_texts[code] = QString::fromLatin1(text);
}

std::optional<QString> FakeKeyboard::keyText(qint64 keyCode) const {
    const auto found = m_texts.find(keyCode);
    return found == m_texts.end() ? std::nullopt : found->second;
}

std::optional<qint64> FakeKeyboard::keyCode(quint32 nativeKeyCode) const {
    const auto found = m_native.find(nativeKeyCode);
    if (found == m_native.end())
        return std::nullopt;
    return found->second;
}

void FakeKeyboard::setKeyText(qint64 keyCode, std::optional<QString> text) {
    m_texts[keyCode] = std::move(text);
}

} // namespace corvane
