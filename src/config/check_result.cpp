#include "config/check_result.h"

#include <cstdio>

#include "app/texts.h"

std::string checkFailureText(int textNumber, const CheckResult& result)
{
    std::string message = text(textNumber);
    if (result.hasLimits) {
        char suffix[48];
        std::snprintf(suffix, sizeof suffix, "  Limits: %d to %d", result.lower, result.upper);
        message += suffix;
    }
    return message;
}
