#pragma once

#include <QString>

namespace corvane {

// A name shown in a menu exactly as typed: menus read "&" as the mark of the next letter's
// mnemonic, so program and workspace names ("Tom & Jerry") have it doubled.
inline QString literalMenuText(QString text) {
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace corvane
