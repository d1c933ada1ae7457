// corvane::detect on short texts of each family it tells apart, written here and encoded through
// the library: the guess must read the text back (an encoding that decodes the bytes to the same
// characters is as good as the one they were written in), and be sure where the text tells.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "corvane.hpp"

namespace {

using corvane::Encoding;

std::string Bytes(std::u16string_view text, const char* encoding) {
  return corvane::encode(text, Encoding(encoding), {.on_error = corvane::OnError::strict});
}

TEST(Detect, ReadsEachFamilyBack) {
  struct Row {
    const char* encoding;
    std::u16string text;
  };
  const Row rows[] = {
      {"UTF-8", u"Grüße aus Köln, 東京と München！ 😀"},
      {"UTF-16LE", u"Open the file again"},
      {"UTF-16BE", u"Open the file again"},
      {"UTF-16LE", u"Открыть файл заново"},  // no zero byte at all
      {"UTF-16BE", u"파일을 다시 여십시오"},
      {"Shift_JIS", u"ファイルを開けませんでした。もう一度お試しください。"},
      {"EUC-JP", u"ファイルを開けませんでした。もう一度お試しください。"},
      {"GBK", u"无法打开文件，请检查路径后重试。"},
      {"Big5", u"無法開啟檔案，請檢查路徑後重試。"},
      {"EUC-KR", u"파일을 열 수 없습니다. 경로를 확인한 뒤 다시 시도하십시오."},
      {"windows-1251", u"Не удалось открыть файл, проверьте путь и повторите попытку."},
      {"KOI8-R", u"Не удалось открыть файл, проверьте путь и повторите попытку."},
      {"IBM866", u"Не удалось открыть файл, проверьте путь и повторите попытку."},
      {"ISO-8859-5", u"Не удалось открыть файл, проверьте путь и повторите попытку."},
      {"windows-1250",
       u"Nepodařilo se otevřít soubor, zkontrolujte cestu a zkuste to znovu. Při ukládání "
       u"došlo k chybě."},
      {"windows-1250",
       u"Nie można otworzyć pliku; sprawdź ścieżkę dostępu. Zmiany nie zostały zapisane."},
      {"windows-1252",
       u"Impossible d'ouvrir le fichier : vérifiez le chemin et réessayez. Les données "
       u"n'ont pas été enregistrées."},
      {"windows-1253", u"Δεν ήταν δυνατό το άνοιγμα του αρχείου, ελέγξτε τη διαδρομή."},
      {"windows-1254",
       u"Dosya açılamadı; yolu kontrol edip yeniden deneyiniz. Değişiklikler kaydedilmedi."},
      {"windows-1255", u"לא ניתן לפתוח את הקובץ, בדוק את הנתיב ונסה שוב."},
      {"windows-1256", u"تعذر فتح الملف، تحقق من المسار وحاول مرة أخرى."},
      {"windows-1257",
       u"Neizdevās saglabāt failu; pārbaudiet, vai diskā ir vieta, un mēģiniet vēlreiz."},
  };
  for (const Row& row : rows) {
    const std::string bytes = Bytes(row.text, row.encoding);
    const corvane::Detection d = corvane::detect(bytes);
    EXPECT_EQ(corvane::decode(bytes, d.encoding), row.text)
        << row.encoding << " taken for " << d.encoding.name();
    EXPECT_TRUE(d.sure) << row.encoding << " " << d.confidence;
  }
}

TEST(Detect, CertaintiesBeforeLanguage) {
  struct Row {
    std::string bytes;
    const char* encoding;
    bool sure;
  };
  const Row rows[] = {
      {"plain text, nothing else", "US-ASCII", true},
      {"", "US-ASCII", true},
      {Bytes(u"ファイル", "ISO-2022-JP"), "ISO-2022-JP", true},
      {"\xEF\xBB\xBFtext", "UTF-8", true},
      {"\xFF\xFEt\0", "UTF-16LE", true},
      {"\xFE\xFF\0t", "UTF-16BE", true},
      {std::string("\xFF\xFE\0\0t\0\0\0", 8), "UTF-32LE", true},
      {std::string("\0\0\xFE\xFF\0\0\0t", 8), "UTF-32BE", true},
      // U+D7FF, the last character before the surrogates.
      {"\xED\x9F\xBF\xED\x9F\xBF", "UTF-8", true},
      // One complete UTF-8 sequence is likely UTF-8, but could be two letters of a code page.
      {"caf\xC3\xA9", "UTF-8", false},
      // Controls and zeros that are no UTF-16: some order, not sure.
      {std::string("\x01\0\x02", 3), "UTF-16LE", false},
  };
  for (const Row& row : rows) {
    const corvane::Detection d = corvane::detect(row.bytes);
    EXPECT_EQ(d.encoding.name(), row.encoding) << ::testing::PrintToString(row.bytes);
    EXPECT_EQ(d.sure, row.sure) << ::testing::PrintToString(row.bytes);
  }
}

// UTF-8 forms of surrogates and overlong forms are no UTF-8, however well-formed they look.
TEST(Detect, NoUtf8WhereTheFormsAreWrong) {
  for (const std::string bytes : {"caf\xED\xA0\x80 cr\xC3\xA8me", "caf\xC0\xA9 cr\xC3\xA8me",
                                  "caf\xF4\x90\x80\x80 cr\xC3\xA8me"})
    EXPECT_NE(corvane::detect(bytes).encoding.name(), "UTF-8") << ::testing::PrintToString(bytes);
}

// Bytes no candidate reads as text, text too short to tell, and text whose letters but three
// read alike in windows-1250 and 1257 (Lithuanian č is Czech č): a guess, never sure.
TEST(Detect, NotSureWhereTheTextDoesNotTell) {
  std::u16string lithuanian;
  for (int line = 0; line < 5; ++line)
    lithuanian +=
        u"Nulinio pločio skirtukas antrajame lygyje, jungiamasis tarpas trečiajame lygyje, "
        u"nulinio pločio jungtukas ketvirtajame lygyje\n";
  lithuanian += u"Lietuvių klaviatūra šis\n";
  for (const std::string& bytes :
       {std::string("\x81\x8D\x8F\x90\x9D\x98"), std::string("\xE9t\xE9"), std::string("\xA4\xA2"),
        Bytes(lithuanian, "windows-1257")}) {
    const corvane::Detection d = corvane::detect(bytes);
    EXPECT_FALSE(d.sure) << ::testing::PrintToString(bytes) << " " << d.encoding.name();
    EXPECT_LT(d.confidence, 0.9);
  }
}

// A text cut in the middle of a character still reads as its encoding.
TEST(Detect, CutCharacterAtTheEnd) {
  const std::pair<const char*, std::u16string> rows[] = {
      {"UTF-8", u"ファイルを開けません"},
      {"Shift_JIS", u"ファイルを開けませんでした"},
      {"GBK", u"无法打开文件，请检查路径"},
  };
  for (const auto& [encoding, text] : rows) {
    std::string bytes = Bytes(text, encoding);
    bytes.pop_back();
    EXPECT_EQ(corvane::detect(bytes).encoding.name(), encoding);
  }
}

}  // namespace
