#pragma once

#include <QString>

namespace corvane {

// Short messages with a symbol, shown near the bottom of the screen and hidden on their own.
class ToastController {
public:
    void show(const QString& message, const QString& symbol) {
        m_lastMessage = message;
        m_lastSymbol = symbol;
    }
    const QString& lastMessage() const { return m_lastMessage; }
    const QString& lastSymbol() const { return m_lastSymbol; }

private:
    QString m_lastMessage;
    QString m_lastSymbol;
};

} // namespace corvane
