// Everything the end-to-end tests use to drive the real programs.
#pragma once

#include "e2e/handles.hpp"
#include "e2e/input.hpp"
#include "e2e/message_box.hpp"
#include "e2e/process.hpp"
#include "e2e/screenshot.hpp"
#include "e2e/wait.hpp"
#include "e2e/windows.hpp"
