// Pictures in an RTF document (outside embedded objects) are left out, like objects, and the
// user is told so when the document opens.
#include "app_harness.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <string>

#include "file_bytes.h"
#include "modal_steps.h"
#include "platform/rtf_document_reader.h"
#include "shell/child_frame.h"
#include "shell/kestrum_doc.h"

namespace {

TEST(DocumentPicturesTest, PicturesOutsideObjectsAreCountedOnce) {
    struct Case {
        const char* what;
        std::string rtf;
        int objects;
        int pictures;
    };
    const Case cases[] = {
        {"no picture", "{\\rtf1 a}", 0, 0},
        {"a picture", "{\\rtf1 a{\\pict\\pngblip 89504e47}b}", 0, 1},
        {"two pictures", "{\\rtf1 {\\pict 01}a{\\pict 02}}", 0, 2},
        {"an object's likeness is the object", "{\\rtf1 {\\object{\\objdata 01}{\\result{\\pict 02}}}}", 1, 0},
        {"a word processor's picture and its plain twin",
         "{\\rtf1 {\\*\\shppict{\\pict\\pngblip 01}}{\\nonshppict{\\pict\\wmetafile8 02}}}", 0, 1},
    };
    for (const Case& c : cases) {
        rich::Document doc;
        std::string error;
        ASSERT_TRUE(rtf::ReadDocument(c.rtf, doc, error)) << c.what;
        EXPECT_EQ(doc.droppedObjects, c.objects) << c.what;
        EXPECT_EQ(doc.droppedPictures, c.pictures) << c.what;
    }
}

TEST(DocumentPicturesTest, TheNoticeNamesWhatWasLeftOut) {
    struct Case {
        const char* what;
        QByteArray rtf;
        QString notice;
    };
    const Case cases[] = {
        {"nothing", "{\\rtf1 Println 1}", ""},
        {"objects", "{\\rtf1 {\\object 01}{\\object 02}}",
         "d.NNProg holds 2 embedded object(s); embedded objects are not supported, so they are not shown and a save "
         "leaves them out."},
        {"a picture", "{\\rtf1 {\\pict 01}}",
         "d.NNProg holds 1 picture(s); pictures are not supported, so they are not shown and a save leaves them out."},
        {"both", "{\\rtf1 {\\object 01}{\\pict 01}}",
         "d.NNProg holds 1 embedded object(s) and 1 picture(s); embedded objects and pictures are not supported, so "
         "they are not shown and a save leaves them out."},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        Write(dir.filePath("d.NNProg"), c.rtf);
        CKestrumDoc doc;
        QString error;
        ASSERT_TRUE(doc.OnOpenDocument(dir.filePath("d.NNProg"), error)) << c.what;
        EXPECT_EQ(doc.LeftOutNotice(), c.notice) << c.what;
    }
}

TEST(DocumentPicturesTest, OpeningADocumentWithAPictureSaysSo) {
    ShownMainFrame shown;
    QTemporaryDir dir;
    Write(dir.filePath("d.NNProg"), "{\\rtf1 Println 1\\par{\\pict\\pngblip 89504e47}}");
    QString seen;
    const ModalSteps modal({Answer("picture", QMessageBox::Ok, &seen)});
    CChildFrame* frame = shown.frame.OpenDocumentFile(dir.filePath("d.NNProg"));
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return modal.AllTaken(); }, 5000));
    EXPECT_TRUE(seen.startsWith("d.NNProg holds 1 picture(s)")) << seen.toStdString();
}

}  // namespace
