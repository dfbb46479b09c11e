#include "ui/prompts.h"
