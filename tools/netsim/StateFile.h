#pragma once

#include "ServiceRecords.h"

#include <QByteArray>
#include <QString>

namespace quillon {

// The service's state as readable JSON. Wire texts are single-byte, so they
// are kept as Latin-1 and come back byte for byte; prices keep their
// shortest decimal form.
QByteArray stateToJson(const NetworkData& data);
// False (with a reason) when the text is not JSON of this shape.
bool stateFromJson(const QByteArray& json, NetworkData& data, QString& error);

// Written to a temporary file and renamed over the old one.
bool saveStateFile(const QString& path, const NetworkData& data, QString& error);
// A missing file is an empty state.
bool loadStateFile(const QString& path, NetworkData& data, QString& error);

} // namespace quillon
