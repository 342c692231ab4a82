#pragma once
// The seven scheduling levels a worker thread can be given, lowest first.

namespace zelkor {

enum class TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

} // namespace zelkor
