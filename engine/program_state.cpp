#include "engine/program_state.h"

#include "engine/line_filter.h"

namespace quillow {

ProgramState::ProgramState() = default;
ProgramState::~ProgramState() = default;

}  // namespace quillow
