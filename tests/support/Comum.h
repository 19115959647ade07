#pragma once

// What nearly every test of the test program uses: the test framework and
// the standard and POSIX headers. The test program compiles it once as its
// precompiled header and every test file starts from it, so a test file
// includes only the project's own headers and the rare standard ones.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
