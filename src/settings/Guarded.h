#pragma once

#include "platform/core/QvError.h"
#include "support/ErrorHandler.h"

#include <exception>

namespace quorvale {

// Runs the body of a settings procedure and turns whatever it throws into a
// report to the common error handler, which reads the caller's trace. The
// procedure then fails: even a resumed error leaves its values half read.
template <typename Body> bool guarded(ErrorHandler &errors, Body &&body)
{
    try {
        return body();
    } catch (const QvError &error) {
        errors.handle(error);
    } catch (const std::exception &error) {
        errors.handle(ErrorNumber::Generic, QString::fromLocal8Bit(error.what()),
                      QStringLiteral("Quorvale"));
    }
    return false;
}

} // namespace quorvale
