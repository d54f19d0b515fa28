// GlobalErrors: the one error manager of the program, which every access object, relation object
// and window reports to. The program makes it when the process starts and keeps it until the
// process ends; the layers above the error manager reach it here, so that none of them needs the
// program's own objects.
#pragma once

#include "framework/errors/error_class.h"

namespace framework {

// The installed error manager; null before the program installed one.
ErrorClass* GlobalErrors();

// Installs `errors` for the process and returns the one it replaces (null: none). `errors` must
// outlive its installation. Called once at process start (tests install their own).
ErrorClass* SetGlobalErrors(ErrorClass* errors);

}  // namespace framework
