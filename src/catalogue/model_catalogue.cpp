#include "model_catalogue.h"

#include "app/context.h"

ModelCatalogue::ModelCatalogue(Context& ctx) : m_ctx(ctx) {}

void ModelCatalogue::FillModelLists(int) {}

void ModelCatalogue::ComboBox15Click() {}

void ModelCatalogue::ComboBox16Click() {}

void ModelCatalogue::ComboBox4Click() {}
