#pragma once

#include <QString>

#include <functional>

// The message of the program's error that work throws; empty when it throws none.
QString errorOf(const std::function<void()>& work);
