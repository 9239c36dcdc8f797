#pragma once

// The time module above timecode: musical time and tempo, a formatter for positions, timers and
// the transport clock.
//
// Error policy of KVNTime: the value types never fail on numbers they can repair (tempos are
// clamped to 1...1024, unusable pixel widths are ignored, negative or non-numeric times read as
// the start); invalid input that cannot be repaired throws koltutils::DescribedError with the
// system's message ("invalid arguments: 4/3", "tempo must be greater than zero"). Reading a
// stored form throws koltutils::DescribedError naming the key that failed. Timers never throw
// after construction: failures of the display clock are logged, as the system logs them.
//
// Threads: the value types are plain values. Timers call their handlers on their own queue (see
// each header); every timer stops on release and calls no handler after its destructor returns.

#include "kvntime/MusicalMeasure.h"
#include "kvntime/RealTimeDomain.h"
#include "kvntime/RegionSnapType.h"
#include "kvntime/RulerSnapType.h"
#include "kvntime/StoredForms.h"
#include "kvntime/TimeDisplayFormat.h"
#include "kvntime/TimeDomain.h"
#include "kvntime/TimeFormatter.h"
#include "kvntime/TimeSignature.h"
#include "kvntime/TimecodeDomain.h"
#include "kvntime/TimelineTempo.h"
#include "kvntime/VisualMusicalMeasure.h"
#include "kvntime/VisualMusicalTime.h"
