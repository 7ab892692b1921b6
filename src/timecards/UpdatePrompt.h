#pragma once

// The prompt's names and texts live with Prompts, where every layer reaches them.
#include "support/UpdatePrompt.h"
