#pragma once
#include <QDialog>
#include <functional>

class QLabel;
class QSpinBox;

namespace palomind {

// The small window shown when the spectators' page is published: the address
// a phone on the same network opens, the same address as a QR code, a note
// that anyone on the network can read the page, and the port, which the
// operator can change.
class SpectatorPageDialog final : public QDialog {
    Q_OBJECT
  public:
    // `changePort` is asked to serve at another port; it returns the message
    // for the operator when that port cannot be used (empty when it can).
    SpectatorPageDialog(QWidget* parent, std::function<QString(int)> changePort);

    // The address served (empty host: the machine is on no network).
    void ShowAddress(const QString& host, int port);

  private:
    void ApplyPort();

    std::function<QString(int)> changePort_;
    QLabel* url_;
    QLabel* qrCode_;
    QLabel* problem_;
    QSpinBox* port_;
};

// The QR code of a text, drawn black on white with a quiet zone, each module
// `scale` pixels wide; a null image when the text cannot be encoded.
QImage QrCodeImage(const QString& text, int scale);

}  // namespace palomind
