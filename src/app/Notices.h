#pragma once

#include <QString>

// What the About window says about licences: ScaleDesk's own, the libraries this build
// carries or uses, and where their licence texts and notices are on this system.
namespace notices {
QString licenceText();
}
