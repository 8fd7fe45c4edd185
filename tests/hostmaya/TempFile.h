#pragma once
// A file in the temporary folder that no other test process on the machine writes.

#include <gtest/gtest.h>

#include <string>

#include <unistd.h>

inline std::string tempFile(const std::string& name) {
    return ::testing::TempDir() + "/" + std::to_string(::getpid()) + "_" + name;
}
