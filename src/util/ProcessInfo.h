#pragma once

// Facts about the running process that the system keeps.

// The real user id, which names per-user files in shared folders.
unsigned CurrentUserId();

// How many clock ticks the system counts a second in the times of /proc/PID/stat.
long ClockTicksPerSecond();
