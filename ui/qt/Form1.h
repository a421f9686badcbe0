#pragma once

#include "ui/MainWindowController.h"
#include "ui/MainWindowLayout.h"

#include <QPixmap>
#include <QWidget>

#include <array>
#include <memory>

class Form2;
class PictureArea;

// The borderless main window: a title banner above four picture buttons (Install, Uninstall,
// Credits, Exit). It shows pictures and forwards the mouse to its routines.
class Form1 final : public QWidget, private MainWindowView
{
    Q_OBJECT

public:
    explicit Form1(RuntimeServices &services);
    ~Form1() override;

    qint16 highlightIndex() const { return m_controller.highlightIndex(); }

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool focusNextPrevChild(bool next) override;
    void focusInEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void loadPictures(qreal scale);
    void showButtonPicture(std::int16_t index, ButtonPicture picture) override;
    void showInstallDialog() override;
    void endProgram() override;

    RuntimeServices &m_services;
    MainWindowController m_controller;

    PictureArea *Picture1 = nullptr;
    std::array<PictureArea *, MainWindowLayout::ButtonCount> Buttonn{};
    std::array<QPixmap, MainWindowLayout::ButtonCount> Off;
    std::array<QPixmap, MainWindowLayout::ButtonCount> onn;
    // The screen scale that the pictures are drawn for.
    qreal m_pictureScale = 0;

    std::unique_ptr<Form2> m_installDialog;
};
