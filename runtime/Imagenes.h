#pragma once

#include <QImage>
#include <QString>

// Loads a picture file for a picture box or an image control: a missing file raises run-time
// error 53, a file that is no picture error 481. An empty name gives an empty picture.
QImage CargarImagen(const QString& archivo);
