#pragma once
#include <string>

#include "app/text_ids.h"
#include "config/check_result.h"
#include "config/m_parameters.h"

// Failure N (1..17) is shown with text 183 + N.

// Runs the seventeen checks in their order and stops at the first failure.
// Temperatures are checked in the unit shown only; the block is not changed.
CheckResult checkMParameters(const MParameterBlock& block);

// The message for a failed check in the current language (with its limits
// except for the two relation checks, 9 and 10).
std::string mSeriesCheckFailureText(const CheckResult& result);
