// The model and base-frequency lists, the gating of the groups by model, and the channel,
// rate and frequency lists that follow from them.
#pragma once

#include <QString>

struct Context;

class ModelCatalogue {
public:
    explicit ModelCatalogue(Context& ctx);

    void FillModelLists(int modelListVariant);
    void ComboBox15Click();
    void ComboBox16Click();
    void ComboBox4Click();

private:
    Context& m_ctx;
};
