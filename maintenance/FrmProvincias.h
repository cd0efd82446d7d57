#pragma once

#include "controls/Barra.h"
#include "controls/Boton.h"
#include "runtime/FlexGrid.h"
#include "runtime/Form.h"
#include "runtime/Image.h"
#include "runtime/Label.h"
#include "runtime/Line.h"
#include "runtime/PictureBox.h"
#include "data/Recordset.h"
#include "runtime/Shape.h"
#include "runtime/TextBox.h"

#include <QString>
#include <memory>

// The maintenance window of the province table: a grid of every province in name order, the
// code and name of the one shown in two edit fields, and the commands to step through the
// provinces, enter a new one, save, delete, search by code and print the listing.
//
// It is used through its default instance (InstanciaPredeterminada<FrmProvincias>), which the
// component's public class shows; it reads everything it needs from DatosComunes when it loads.
// The controls are public, as on the platform, so the host's search window and the listing can
// reach them by name; the handlers and the window's state are its own.
class FrmProvincias : public Form
{
    Q_OBJECT
public:
    FrmProvincias();
    ~FrmProvincias() override;

    // The window's state as its handlers share it, for whoever needs to look at it (tests).
    struct Estado
    {
        bool RegistroNuevo;
        bool Modificando;
        bool ValidacionFallida;
        bool CerrandoDesdeBarra;
        bool HayCambios;
        bool IgnorarSeleccion;
        QString CodigoActual;
    };
    Estado EstadoVentana() const;
    // The window's recordset (null before the first load).
    const Recordset* RecordsetProvincias() const { return RsProvincias.get(); }

    // Controls, in the order of the window's Controls collection.
    PictureBox* PicProvincias;
    Barra* Barra1;
    Boton* LblNuevo;
    Boton* lblAceptar;
    Boton* LblBuscar;
    Boton* LblCancelar;
    Boton* LblBorrar;
    PictureBox* PicDatosProvincias;
    FlexGrid* LinProvincias;
    Label* LblProv;
    Label* LblDatosProvincias;
    Label* LblCodigo;
    Label* LblProvincia;
    TextBox* TxtCodigo;
    TextBox* TxtProvincia;
    Shape* SpProvincias;
    Shape* SpDatosProvincias;
    Line* Line5;
    Image* ImgImpresora;
    Image* ImgProvDerecha;
    Image* ImgProvIzquierda;

protected:
    void Form_Load() override;
    void Form_Unload(int& Cancel) override;
    void Form_Paint() override;
    void Form_Resize() override;
    void Form_Activate() override;

private:
    void CrearControles();
    void ConectarEventos();
    // The steps of Form_Load, in order.
    void AbrirDatos();
    void PrepararGrilla();
    void ColocarControles();
    void PonerTitulos();
    void MostrarPrimerRegistro();
    void AjustarAPantalla();
    // The steps of the save.
    bool CamposValidos();
    void GuardarRegistro();

    // Lifecycle and layout.
    void CerrarVentana();

    // Grid.
    void LlenarGrilla();
    void LinProvincias_RowColChange();
    void LinProvincias_MouseDown(int Button, int Shift, int X, int Y);
    void LinProvincias_SelChange();

    // Record display and field editing.
    void MostrarRegistro();
    void LimpiarCampos();
    void VerificarCambios();
    void TxtCodigo_Change();
    void TxtCodigo_GotFocus();
    void TxtCodigo_KeyPress(int& KeyAscii);
    void TxtCodigo_LostFocus();
    void TxtProvincia_GotFocus();
    void TxtProvincia_KeyPress(int& KeyAscii);
    void TxtProvincia_LostFocus();
    void ImgProvDerecha_Click();
    void ImgProvIzquierda_Click();
    void PasarDeFila(bool mover, int paso);

    // Commands.
    void LblNuevo_Click();
    void LblCancelar_Click();
    void lblAceptar_Click();
    void LblBorrar_Click();
    void LblBuscar_Click();
    void ImgImpresora_Click();

    // Helpers.
    void AbrirProvincias(const QString& sentencia);
    void ResaltarCampo(TextBox* campo);
    int Mensaje(const QString& texto, int estilo, const QString& titulo);
    void MostrarErrorNumerado(long numero, const QString& descripcion);
    void FallaGrabacion(long numero, const QString& descripcion);

    // Window state shared by every handler.
    std::shared_ptr<Recordset> RsProvincias;
    bool RegistroNuevo = false;
    bool Modificando = false;
    bool ValidacionFallida = false;
    bool CerrandoDesdeBarra = false;
    bool HayCambios = false;
    bool IgnorarSeleccion = false;
    QString CodigoActual;
};
