#include "scan/program_state.h"

#include "scan/line_filter.h"

namespace quillow {

ProgramState::ProgramState() = default;
ProgramState::~ProgramState() = default;

}  // namespace quillow
