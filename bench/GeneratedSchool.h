#pragma once

#include <QString>

#include <functional>

// A large school written by the benchmarks: 400 classes of 35 pupils, 200 teachers,
// 40 subjects, in the three data files the program loads.
namespace GeneratedSchool {
constexpr int kClasses = 400;
constexpr int kPupils = 35;
constexpr int kTeachers = 200;
constexpr int kSubjects = 40;
} // namespace GeneratedSchool

// How each value is stored: as it is, or encoded as the school may store it.
using ValueEncoder = std::function<QString(const QString&)>;

// Writes the school's three data files into `folder`; `encoded` adds the "Code"
// element that tells the program the values are encoded.
void WriteGeneratedSchool(const QString& folder, const ValueEncoder& enc, bool encoded);
