#pragma once

#include "runtime/Controles.h"

#include <QColor>
#include <QString>
#include <QWidget>

// A window of the forms runtime: a frameless top-level widget (the visible title comes from
// the window's own title-bar control) with its geometry in twips, its Controls collection and
// the platform's window events as virtual handlers.
//
// Life cycle: the constructor creates the controls with their stored settings (not loaded);
// Load (or Show, ShowModal, Hide) runs Form_Load once; Unload runs Form_Unload and, unless it
// cancels, hides the window, drops it from its default instance and deletes it when control
// returns to the event loop. A later use of the default instance creates a fresh window.
class Form : public QWidget
{
    Q_OBJECT
public:
    explicit Form(const QString& nombre, QWidget* padre = nullptr);
    ~Form() override;

    QString Name() const { return nombre_; }
    QString Caption() const { return windowTitle(); }
    void setCaption(const QString& titulo) { setWindowTitle(titulo); }
    QString Tag() const { return tag_; }
    void setTag(const QString& tag) { tag_ = tag; }

    Controles& Controls() { return controles_; }
    const Controles& Controls() const { return controles_; }

    // Window geometry in twips on the screen.
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void setLeft(int twips);
    void setTop(int twips);
    void setWidth(int twips);
    void setHeight(int twips);
    void Move(int left, int top, int width, int height);
    // The client area in twips (the window has no frame, so Width and Height).
    int ScaleWidth() const { return width_; }
    int ScaleHeight() const { return height_; }

    QColor BackColor() const { return fondo_; }
    void setBackColor(const QColor& color);

    bool Visible() const { return isVisible(); }
    bool Enabled() const { return isEnabled(); }

    // 0 normal, 1 minimized, 2 maximized.
    int WindowState() const;
    void setWindowState(int estado);

    bool Loaded() const { return cargado_; }
    // Loads the window (Form_Load) if it is not loaded. A Form_Load that fails leaves the
    // window not loaded and its error reaches the caller.
    void Load();
    // Modeless, without an owner; loads first when needed.
    void Show();
    // Modal: returns when the window is hidden or unloaded.
    void ShowModal();
    void Hide();
    // Runs Form_Unload, then hides the window, drops it from its default instance and deletes
    // it once control is back in the event loop. Returns false when the handler set Cancel.
    // A request made while the same window is already unloading returns true at once without
    // a second unload. On a window that was never loaded it only drops and deletes it.
    bool Unload();
    bool Descargando() const { return descargando_; }
    void Refresh();

    // The control that has the keyboard focus, or nullptr.
    Control* ActiveControl() const;

    // How many windows are loaded in the process now.
    static int FormulariosCargados();

signals:
    // Emitted once the window has been hidden or unloaded (ends a modal Show).
    void Cerrada();

protected:
    virtual void Form_Load() {}
    virtual void Form_Unload(int& Cancel) { Q_UNUSED(Cancel); }
    virtual void Form_Paint() {}
    virtual void Form_Resize() {}
    virtual void Form_Activate() {}

    void paintEvent(QPaintEvent* evento) override;
    void resizeEvent(QResizeEvent* evento) override;
    void moveEvent(QMoveEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;
    void changeEvent(QEvent* evento) override;
    bool focusNextPrevChild(bool siguiente) override;

private:
    friend class Control;
    template <class T> friend class InstanciaPredeterminada;

    void aplicarGeometria();
    void registrarControl(Control* c);
    void olvidarControl(Control* c);
    void renumerarTabulacion(Control* c, int indice);
    void soltarInstancia();

    QString nombre_;
    QString tag_;
    Controles controles_;
    QList<Control*> ordenTab_;
    QColor fondo_;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool cargado_ = false;
    bool descargando_ = false;
    bool pintando_ = false;
    bool moviendoPorPrograma_ = false;
    Form** ranura_ = nullptr;
};
