#pragma once
#include <string>

#include "app/text_ids.h"
#include "config/check_result.h"
#include "config/k_parameters.h"

// Failure N (1..16) is shown with text 42 + N.

// Runs the sixteen checks in their order and stops at the first failure.
// Temperatures are checked in the unit shown only; the block is not changed.
CheckResult checkKParameters(const KParameterBlock& block);

// The message for a failed check in the current language (with its limits
// except for the two relation checks, 12 and 13).
std::string kSeriesCheckFailureText(const CheckResult& result);
