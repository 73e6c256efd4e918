#pragma once
// The few values of the main window that every screen consults: the model of the
// connected indicator, whether a connection stands, the request to reload the
// parameter or calibration tab on its next change and the weight display format of
// the connected indicator.

#include "link/Model.h"
#include "link/WeightFormat.h"

#include <QString>

namespace vx {

struct AppState {
    Model IndicatorModel = Model::None;  // None until chosen at start-up
    QString IndicatorModelText;          // the model as the version text names it (shown)
    bool IsConnected = false;
    bool TabRefreshPending = false;
    WeightFormat weight;            // from the indicator's range (TaksimatBul)

    bool isZR2() const { return IndicatorModel == Model::ZR2; }
    void setModel(Model model, const QString &text = {})
    {
        IndicatorModel = model;
        IndicatorModelText = text.isEmpty() ? ModelName(model) : text;
    }
};

}  // namespace vx
