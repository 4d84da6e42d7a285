#pragma once

// The kernel is built twice from these very headers: as veltrin_native in the
// plug-in, and as candidate_numeric inside the oracle, which checks it against
// its own reference search. A translation unit that wants the second name
// defines VELTRIN_NATIVE_NAMESPACE before its first kernel include; the two
// builds then have distinct symbols and never collide when linked together.
// A translation unit holds the kernel under one name only.
#ifndef VELTRIN_NATIVE_NAMESPACE
#define VELTRIN_NATIVE_NAMESPACE veltrin_native
#endif
