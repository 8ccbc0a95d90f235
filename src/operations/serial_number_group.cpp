#include "serial_number_group.h"

#include "app/context.h"

SerialNumberGroup::SerialNumberGroup(Context& ctx) : m_ctx(ctx) {}

void SerialNumberGroup::SpeedButton24Click() {}

void SerialNumberGroup::SpeedButton25Click() {}
