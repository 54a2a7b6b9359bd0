#pragma once

// How many times this test program has called operator new so far.
long AllocationCount();
