#include "media/DecodeurJpeg.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <memory>

// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>
#include <jerror.h>

namespace {

constexpr int DenominateurEchelle = 8;
constexpr int LignesParLot = 4;
// A progressive file with thousands of scans costs minutes for nothing.
constexpr int BalayagesMax = 1000;
constexpr int ComposantesSortie = 4;
constexpr int NiveauMax = 255;
constexpr int NiveauAvertissement = -1;

// Plain data only: libjpeg longjmps back into the functions that use it, so
// nothing here may need a destructor.
struct Contexte
{
    jpeg_decompress_struct Info;
    jpeg_error_mgr Erreur;
    jpeg_progress_mgr Progression;
    std::jmp_buf Retour;
    bool Cmyk;
    bool CmykInverse;
    const std::stop_token* Arret;
    int BalayageCompte;   // the last scan whose work was counted
    std::int64_t Travail; // pixels covered by the scans begun so far
};

struct DetruireContexte
{
    void operator()(Contexte* contexte) const
    {
        jpeg_destroy_decompress(&contexte->Info);
        delete contexte;
    }
};
using ContextePtr = std::unique_ptr<Contexte, DetruireContexte>;

Contexte* ContexteDe(j_common_ptr info)
{
    return static_cast<Contexte*>(info->client_data);
}

// libjpeg's default ends the process; go back to the setjmp point instead.
[[noreturn]] void SortieErreur(j_common_ptr info)
{
    std::longjmp(ContexteDe(info)->Retour, 1);
}

// Warnings are silent, except running out of data, at the end of the file
// or at a marker inside it (a file cut short and closed again): libjpeg
// would pad the rest of the picture with grey, and a half-grey preview is
// worse than none.
void EmettreMessage(j_common_ptr info, int niveau)
{
    if (niveau == NiveauAvertissement &&
        (info->err->msg_code == JWRN_JPEG_EOF || info->err->msg_code == JWRN_HIT_MARKER))
        std::longjmp(ContexteDe(info)->Retour, 1);
}

void SortieMessage(j_common_ptr) {}

// The pixels a scan covers: every block of each of its components.
std::int64_t TravailBalayage(const jpeg_decompress_struct& info)
{
    constexpr std::int64_t PixelsParBloc = DCTSIZE2;
    std::int64_t blocs = 0;
    for (int i = 0; i < info.comps_in_scan; ++i)
        blocs += std::int64_t(info.cur_comp_info[i]->width_in_blocks) * info.cur_comp_info[i]->height_in_blocks;
    return blocs * PixelsParBloc;
}

// Called by libjpeg at least once per row of blocks, in every pass: a stop
// request or a scan past the budget ends the decode here.
void SuivreProgression(j_common_ptr info)
{
    if (!info->is_decompressor)
        return;
    Contexte& contexte = *ContexteDe(info);
    if (contexte.Arret->stop_requested())
        std::longjmp(contexte.Retour, 1);
    const auto& decompression = *reinterpret_cast<j_decompress_ptr>(info);
    if (decompression.input_scan_number == contexte.BalayageCompte)
        return;
    contexte.BalayageCompte = decompression.input_scan_number;
    contexte.Travail += TravailBalayage(decompression);
    if (decompression.input_scan_number > BalayagesMax || contexte.Travail > DecodeurJpeg::TravailMax)
        std::longjmp(contexte.Retour, 1);
}

// Reads the header, checks the size and starts decompression at the chosen scale.
bool Ouvrir(Contexte& contexte, const unsigned char* octets, unsigned long taille, QSize cible,
            const std::stop_token& arret)
{
    contexte.Arret = &arret;
    contexte.Info.err = jpeg_std_error(&contexte.Erreur);
    contexte.Erreur.error_exit = SortieErreur;
    contexte.Erreur.emit_message = EmettreMessage;
    contexte.Erreur.output_message = SortieMessage;
    contexte.Info.client_data = &contexte;
    if (setjmp(contexte.Retour))
        return false;

    jpeg_create_decompress(&contexte.Info);
    contexte.Info.mem->max_memory_to_use = DecodeurJpeg::MemoireLibJpegMax;
    contexte.Progression.progress_monitor = SuivreProgression;
    contexte.Info.progress = &contexte.Progression;
    jpeg_mem_src(&contexte.Info, octets, taille);
    jpeg_read_header(&contexte.Info, TRUE);

    const JDIMENSION largeur = contexte.Info.image_width;
    const JDIMENSION hauteur = contexte.Info.image_height;
    if (largeur > DecodeurJpeg::CoteMax || hauteur > DecodeurJpeg::CoteMax ||
        std::int64_t(largeur) * hauteur > DecodeurJpeg::PixelsMax)
        return false;

    const int echelle = DecodeurJpeg::Echelle(QSize(int(largeur), int(hauteur)), cible);
    contexte.Info.scale_num = static_cast<unsigned>(echelle);
    contexte.Info.scale_denom = DenominateurEchelle;
    if (echelle < DenominateurEchelle) {
        contexte.Info.dct_method = JDCT_IFAST;
        contexte.Info.do_fancy_upsampling = FALSE;
    }

    if (contexte.Info.jpeg_color_space == JCS_CMYK || contexte.Info.jpeg_color_space == JCS_YCCK) {
        // libjpeg turns YCCK into CMYK; CMYK into RGB is ours.
        contexte.Info.out_color_space = JCS_CMYK;
        contexte.Cmyk = true;
        contexte.CmykInverse = contexte.Info.saw_Adobe_marker;
    } else {
        // RGBA rather than RGBX: only the former guarantees a 0xFF fourth byte,
        // which Format_RGBX8888 requires.
        contexte.Info.out_color_space = JCS_EXT_RGBA;
    }

    jpeg_start_decompress(&contexte.Info);
    return contexte.Info.output_components == ComposantesSortie;
}

// Decodes every line into `bits`, which holds output_height lines of `pas` bytes.
bool Lire(Contexte& contexte, unsigned char* bits, qsizetype pas)
{
    if (setjmp(contexte.Retour))
        return false;

    JSAMPROW lignes[LignesParLot];
    while (contexte.Info.output_scanline < contexte.Info.output_height) {
        const JDIMENSION premiere = contexte.Info.output_scanline;
        const JDIMENSION nombre = std::min<JDIMENSION>(LignesParLot, contexte.Info.output_height - premiere);
        for (JDIMENSION i = 0; i < nombre; ++i)
            lignes[i] = bits + qsizetype(premiere + i) * pas;
        // A memory source never suspends; zero lines means something is wrong.
        if (jpeg_read_scanlines(&contexte.Info, lignes, nombre) == 0)
            return false;
    }
    jpeg_finish_decompress(&contexte.Info);
    return true;
}

// In place, CMYK to RGBX. Adobe files store the inks inverted.
void ConvertirCmyk(QImage& image, bool inverse)
{
    for (int y = 0; y < image.height(); ++y) {
        uchar* pixel = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x, pixel += ComposantesSortie) {
            int encre[ComposantesSortie];
            for (int i = 0; i < ComposantesSortie; ++i)
                encre[i] = inverse ? pixel[i] : NiveauMax - pixel[i];
            // encre now holds 255 - ink for C, M, Y and K.
            for (int i = 0; i < 3; ++i)
                pixel[i] = uchar(encre[i] * encre[3] / NiveauMax);
            pixel[3] = NiveauMax;
        }
    }
}

} // namespace

int DecodeurJpeg::Echelle(QSize origine, QSize cible)
{
    if (cible.isEmpty() || origine.isEmpty())
        return DenominateurEchelle;
    const QSize ajustee = origine.scaled(cible, Qt::KeepAspectRatio);
    for (int m = 1; m < DenominateurEchelle; ++m) {
        // Same rounding as libjpeg's output dimensions.
        const std::int64_t largeur =
            (std::int64_t(origine.width()) * m + DenominateurEchelle - 1) / DenominateurEchelle;
        const std::int64_t hauteur =
            (std::int64_t(origine.height()) * m + DenominateurEchelle - 1) / DenominateurEchelle;
        if (largeur >= ajustee.width() && hauteur >= ajustee.height())
            return m;
    }
    return DenominateurEchelle;
}

bool DecodeurJpeg::Decoder(const QByteArray& donnees, Resultat& resultat, QSize cible, const std::stop_token& arret)
{
    resultat = {};
    if (donnees.isEmpty())
        return false;

    ContextePtr contexte(new Contexte{});
    const auto* octets = reinterpret_cast<const unsigned char*>(donnees.constData());
    if (!Ouvrir(*contexte, octets, static_cast<unsigned long>(donnees.size()), cible, arret))
        return false;

    QImage image(int(contexte->Info.output_width), int(contexte->Info.output_height), QImage::Format_RGBX8888);
    if (image.isNull())
        return false;
    if (!Lire(*contexte, image.bits(), image.bytesPerLine()))
        return false;
    if (contexte->Cmyk)
        ConvertirCmyk(image, contexte->CmykInverse);

    resultat.Image = std::move(image);
    resultat.LargeurOrigine = int(contexte->Info.image_width);
    resultat.HauteurOrigine = int(contexte->Info.image_height);
    return true;
}

bool DecodeurJpeg::DecoderFichier(const QString& chemin, Resultat& resultat, QSize cible)
{
    resultat = {};
    const QFileInfo info(chemin);
    if (!info.isFile() || info.size() > TailleFichierMax)
        return false;
    QFile fichier(chemin);
    if (!fichier.open(QIODevice::ReadOnly))
        return false;
    // Bounded read: the file may have grown since it was looked at.
    const QByteArray donnees = fichier.read(TailleFichierMax + 1);
    if (donnees.size() > TailleFichierMax)
        return false;
    return Decoder(donnees, resultat, cible);
}
