// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

namespace quillet {

// The one way the engine reports failure: a status that is either ok or carries the
// message shown to the user ("File ... not found"). Returned, never thrown; callers
// check it. Cheap to copy.
class [[nodiscard]] TStatus {
public:
    TStatus() = default;
    static TStatus Ok() { return {}; }
    static TStatus Error(QString message) { return TStatus(std::move(message)); }
    static TStatus NotFound(const QString& path) { return Error("File " + path + " not found"); }

    bool ok() const { return FMessage.isNull(); }
    const QString& message() const { return FMessage; }

private:
    explicit TStatus(QString message)
        : FMessage(message.isNull() ? QStringLiteral("") : std::move(message)) {}
    QString FMessage;
};

} // namespace quillet
