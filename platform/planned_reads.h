// The reads that tests plan (PlanReadFailure, PlanShortReads), as the ways of
// reading a file ask after them. Internal to platform/.
#pragma once

namespace platform {

// Whether this read is the one planned to fail; errno is then set.
bool PlannedFailure() noexcept;
// Whether reads are capped: a file is then read, never mapped.
bool ReadsCapped() noexcept;

}  // namespace platform
