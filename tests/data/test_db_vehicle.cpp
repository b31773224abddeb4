#include "temp_database.h"

#include "data/data_errors.h"

using namespace kestrova;

namespace {

void UpdateFrom(clsDBLib& db, const FetchedVehicle& v) {
    db.UpdateVehicle(v.SeqNO, v.PlateNumber, v.PhoneNumber, v.CarBrand, v.DriveName, v.TelNumber1, v.TelNumber2,
                     v.MobileNumber1, v.MobileNumber2, v.StrCaution, v.EndCaution, v.CarType, v.Dial, v.DialTime,
                     v.CheckPoint, v.EW, v.X, v.NS, v.Y, v.Speed, v.Direction, v.Offset, v.Healthy);
}

FetchedVehicle Located(const QString& plate, const QString& phone) {
    FetchedVehicle v;
    v.PlateNumber = plate;
    v.PhoneNumber = phone;
    v.StrCaution = v.EndCaution = QStringLiteral("N");
    v.CarType = 2;
    v.Dial = true;
    v.DialTime = QStringLiteral("2024/03/05 10:11:12");
    v.CheckPoint = QStringLiteral("即時位置");
    v.EW = QStringLiteral("東經");
    v.X = 121.56123;
    v.NS = QStringLiteral("北緯");
    v.Y = 25.03456;
    v.Speed = 42.5f;
    v.Direction = 271.3f;
    v.Offset = 12.125f;
    v.Healthy = QStringLiteral("00012");
    return v;
}

} // namespace

TEST(InsertVehicle, NewVehicle_ReadsBackWithEmptyCallStateAndTrimmedTexts) {
    TempDatabase t;
    t.db.InsertVehicle(77, QStringLiteral("  KS-1 "), QStringLiteral(" 0912 "), QStringLiteral(" AB-1 "),
                       QStringLiteral("王 大明 "), QStringLiteral("02"), QStringLiteral("03"), QStringLiteral("0933"),
                       QStringLiteral("0944"), QStringLiteral("08:00"), QStringLiteral("18:00"), 3, true,
                       QStringLiteral("ignored"));
    const auto vehicles = ReadVehicles(t.db);
    ASSERT_EQ(vehicles.size(), 1u);
    const FetchedVehicle& v = vehicles[0];
    EXPECT_EQ(v.SeqNO, 1) << "assigned by the database, not 77";
    EXPECT_EQ(v.PlateNumber, QStringLiteral("KS-1"));
    EXPECT_EQ(v.PhoneNumber, QStringLiteral("0912"));
    EXPECT_EQ(v.CarBrand, QStringLiteral("AB-1"));
    EXPECT_EQ(v.DriveName, QStringLiteral("王 大明"));
    EXPECT_EQ(v.MobileNumber2, QStringLiteral("0944"));
    EXPECT_EQ(v.StrCaution, QStringLiteral("08:00"));
    EXPECT_EQ(v.CarType, 3);
    EXPECT_TRUE(v.Dial);
    EXPECT_EQ(v.DialTime, QString());
    EXPECT_EQ(v.CheckPoint, QString());
    EXPECT_EQ(v.EW, QString());
    EXPECT_EQ(v.NS, QString());
    EXPECT_EQ(v.X, 0);
    EXPECT_EQ(v.Y, 0);
    EXPECT_EQ(v.Speed, 0);
    EXPECT_EQ(v.Direction, 0);
    EXPECT_EQ(v.Offset, 0);
    EXPECT_EQ(v.Healthy, kHealthyNew);
    EXPECT_EQ(FieldText(t.scalar(QStringLiteral("SELECT Address FROM Vehicle"))), QString());
    EXPECT_EQ(t.count(QStringLiteral("Vehicle"), QStringLiteral("Address=''")), 1);
}

TEST(InsertVehicle, Quote_StoredOnceAndDoubledInStatementText) {
    TempDatabase t;
    t.addVehicle(QStringLiteral("O'Neil"), QStringLiteral("0912"), false, 1);
    EXPECT_EQ(t.db.strSQL(),
              QStringLiteral("INSERT INTO Vehicle (Platenumber,PhoneNumber,CarBrand,DriveName,TelNumber1,TelNumber2,"
                             "MobileNumber1,MobileNumber2,StrCaution,EndCaution,CarType,Dial,DialTime,CheckPoint,EW,"
                             "X,NS,Y,Speed,Direction,Offset,Healthy,Address) VALUES ('O''Neil','0912','','','','',"
                             "'','','N','N',1,0,'','','',0,'',0,0,0,0,'00000','')"));
    EXPECT_EQ(t.count(QStringLiteral("Vehicle"), QStringLiteral("PlateNumber=?"), {QStringLiteral("O'Neil")}), 1);
    const auto vehicles = ReadVehicles(t.db);
    ASSERT_EQ(vehicles.size(), 1u);
    EXPECT_EQ(vehicles[0].PlateNumber, QStringLiteral("O'Neil"));
    EXPECT_FALSE(vehicles[0].Dial);
    EXPECT_EQ(std::get<qint64>(t.scalar(QStringLiteral("SELECT Dial FROM Vehicle"))), 0);
}

TEST(UpdateVehicle, AllFields_WrittenByPhoneNumberAndReadBack) {
    TempDatabase t;
    t.addVehicle(QStringLiteral("KS-1"), QStringLiteral("0912"), false);
    t.addVehicle(QStringLiteral("KS-2"), QStringLiteral("0913"), false);
    FetchedVehicle wanted = Located(QStringLiteral("KS-1 renamed"), QStringLiteral(" 0912 "));
    wanted.DialTime = QStringLiteral(" 2024/03/05 10:11:12 ");
    UpdateFrom(t.db, wanted);
    EXPECT_EQ(t.db.strSQL(),
              QStringLiteral("UPDATE Vehicle SET PlateNumber='KS-1 renamed',CarBrand='',DriveName='',TelNumber1='',"
                             "TelNumber2='',MobileNumber1='',MobileNumber2='',StrCaution='N',EndCaution='N',CarType=2,"
                             "Dial=1,DialTime='2024/03/05 10:11:12',CheckPoint='即時位置',EW='東經',X=121.56123,"
                             "NS='北緯',Y=25.03456,Speed=42.5,Direction=271.3,Offset=12.12,Healthy='00012' "
                             "WHERE PhoneNumber='0912'"));

    const auto vehicles = ReadVehicles(t.db);
    ASSERT_EQ(vehicles.size(), 2u);
    const FetchedVehicle& v = vehicles[0];
    EXPECT_EQ(v.PlateNumber, QStringLiteral("KS-1 renamed"));
    EXPECT_EQ(v.PhoneNumber, QStringLiteral("0912"));
    EXPECT_TRUE(v.Dial);
    EXPECT_EQ(v.CarType, 2);
    EXPECT_EQ(v.DialTime, QStringLiteral("2024/03/05 10:11:12"));
    EXPECT_EQ(v.CheckPoint, QStringLiteral("即時位置"));
    EXPECT_EQ(v.X, 121.56123);
    EXPECT_EQ(v.Y, 25.03456);
    EXPECT_EQ(v.Speed, 42.5f);
    EXPECT_EQ(v.Direction, 271.3f);
    EXPECT_EQ(v.Offset, 12.12f);
    EXPECT_EQ(v.Healthy, QStringLiteral("00012"));
    EXPECT_EQ(vehicles[1].PlateNumber, QStringLiteral("KS-2")) << "the other vehicle is untouched";
    EXPECT_FALSE(vehicles[1].Dial);
    EXPECT_EQ(vehicles[1].X, 0);
}

TEST(UpdateVehicle, OffsetHalves_RoundToTheEvenHundredth) {
    TempDatabase t;
    t.addVehicle(QStringLiteral("KS-1"), QStringLiteral("0912"));
    const auto storedOffset = [&](float offset) {
        FetchedVehicle v = Located(QStringLiteral("KS-1"), QStringLiteral("0912"));
        v.Offset = offset;
        UpdateFrom(t.db, v);
        return ReadVehicles(t.db).at(0).Offset;
    };
    EXPECT_EQ(storedOffset(12.125f), 12.12f);
    EXPECT_EQ(storedOffset(12.375f), 12.38f);
    EXPECT_EQ(storedOffset(0.005f), 0.0f);
    EXPECT_EQ(storedOffset(1234.5678f), 1234.57f);
}

TEST(UpdateVehicle, UnknownPhoneNumber_ChangesNothingAndRaisesNoError) {
    TempDatabase t;
    t.addVehicle(QStringLiteral("KS-1"), QStringLiteral("0912"));
    EXPECT_NO_THROW(UpdateFrom(t.db, Located(QStringLiteral("KS-9"), QStringLiteral("0999"))));
    EXPECT_EQ(t.raw.changes(), 0);
    const auto vehicles = ReadVehicles(t.db);
    ASSERT_EQ(vehicles.size(), 1u);
    EXPECT_EQ(vehicles[0].PlateNumber, QStringLiteral("KS-1"));
    EXPECT_EQ(vehicles[0].X, 0);
}

TEST(UpdateVehicle, QuoteInEveryText_StoredIntact) {
    TempDatabase t;
    t.addVehicle(QStringLiteral("O'Neil"), QStringLiteral("09'12"));
    FetchedVehicle v = Located(QStringLiteral("O'Neil's"), QStringLiteral("09'12"));
    v.DriveName = QStringLiteral("'");
    v.Healthy = QStringLiteral("0'0'0");
    UpdateFrom(t.db, v);
    EXPECT_TRUE(t.db.strSQL().contains(QStringLiteral("PlateNumber='O''Neil''s'")));
    EXPECT_TRUE(t.db.strSQL().endsWith(QStringLiteral("WHERE PhoneNumber='09''12'")));
    const FetchedVehicle back = ReadVehicles(t.db).at(0);
    EXPECT_EQ(back.PlateNumber, QStringLiteral("O'Neil's"));
    EXPECT_EQ(back.DriveName, QStringLiteral("'"));
    EXPECT_EQ(back.Healthy, QStringLiteral("0'0'0"));
}

TEST(FetchVehicleRecord, EmptyTable_ReturnsFalseAtOnceAndKeepsArguments) {
    TempDatabase t;
    t.db.OpenVehicleRecordset();
    FetchedVehicle v;
    v.PlateNumber = QStringLiteral("kept");
    EXPECT_FALSE(v.fetch(t.db));
    EXPECT_FALSE(v.fetch(t.db)) << "stays at the end";
    EXPECT_EQ(v.PlateNumber, QStringLiteral("kept"));
    EXPECT_EQ(v.SeqNO, -1);
    t.db.CloseVehicleRecordset();
}

TEST(FetchVehicleRecord, Rows_ComeByPlateNumber) {
    TempDatabase t;
    for (const char* plate : {"KS-3", "KS-1", "AB-9", "KS-2"}) {
        t.addVehicle(QString::fromLatin1(plate), QStringLiteral("09") + QString::fromLatin1(plate));
    }
    QStringList plates;
    for (const FetchedVehicle& v : ReadVehicles(t.db)) {
        plates << v.PlateNumber;
    }
    EXPECT_EQ(plates, QStringList({"AB-9", "KS-1", "KS-2", "KS-3"}));
}

TEST(FetchVehicleRecord, StoredValues_ConvertedAsTheRecordNeeds) {
    TempDatabase t;
    // Written from outside: Dial as any non-zero number, untrimmed texts, Null texts.
    t.raw.execute(QStringLiteral(
        "INSERT INTO Vehicle (PlateNumber,PhoneNumber,CarBrand,DriveName,TelNumber1,TelNumber2,MobileNumber1,"
        "MobileNumber2,StrCaution,EndCaution,CarType,Dial,DialTime,CheckPoint,EW,X,NS,Y,Speed,Direction,Offset,"
        "Healthy) VALUES (' P ',' 1 ',NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,1,-1,' 2024/01/01 00:00:00 ',"
        "' 最後位置 ',' 東經 ',1.5,NULL,2.5,3.25,4.5,5.75,NULL)"));
    t.raw.execute(QStringLiteral(
        "INSERT INTO Vehicle (PlateNumber,CarType,Dial,X,Y,Speed,Direction,Offset) VALUES ('Q',2.5,0.0,0,0,0,0,0)"));
    const auto vehicles = ReadVehicles(t.db);
    ASSERT_EQ(vehicles.size(), 2u);
    const FetchedVehicle& v = vehicles[0];
    EXPECT_EQ(v.PlateNumber, QStringLiteral("P"));
    EXPECT_EQ(v.PhoneNumber, QStringLiteral("1"));
    EXPECT_EQ(v.CarBrand, QString());
    EXPECT_EQ(v.EndCaution, QString());
    EXPECT_TRUE(v.Dial) << "any value but 0 is true";
    EXPECT_EQ(v.DialTime, QStringLiteral(" 2024/01/01 00:00:00 ")) << "kept as stored";
    EXPECT_EQ(v.CheckPoint, QStringLiteral(" 最後位置 ")) << "kept as stored";
    EXPECT_EQ(v.EW, QStringLiteral("東經"));
    EXPECT_EQ(v.NS, QString());
    EXPECT_EQ(v.Healthy, QString());
    EXPECT_EQ(v.Offset, 5.75f);
    EXPECT_EQ(vehicles[1].CarType, 2) << "2.5 rounds half to even";
    EXPECT_FALSE(vehicles[1].Dial);
    EXPECT_TRUE(vehicles[1].PhoneNumber.isNull() || vehicles[1].PhoneNumber.isEmpty());
}

TEST(FetchVehicleRecord, NullOrOversizedNumber_IsAnErrorThatLeavesTheArguments) {
    for (const char* column : {"SeqNO", "CarType", "Dial", "X", "Y", "Speed", "Direction", "Offset"}) {
        SCOPED_TRACE(column);
        TempDatabase t;
        t.addVehicle(QStringLiteral("KS-1"), QStringLiteral("0912"));
        if (QLatin1String(column) == QLatin1String("SeqNO")) {
            // The key cannot be Null: the same error comes from a number too large for an Integer.
            t.raw.execute(QStringLiteral("UPDATE Vehicle SET SeqNO=40000"));
        } else {
            t.raw.execute(QStringLiteral("UPDATE Vehicle SET %1=NULL").arg(QLatin1String(column)));
        }
        t.db.OpenVehicleRecordset();
        FetchedVehicle v;
        const QString expected = QLatin1String(column) == QLatin1String("SeqNO") ? kOverflow : kInvalidUseOfNull;
        ExpectRuntimeError([&] { v.fetch(t.db); }, expected);
        EXPECT_EQ(v.PlateNumber, QString());
        EXPECT_EQ(v.SeqNO, -1);
    }
}

TEST(DeleteVehicle, RemovesItsLogRowsOnly) {
    TempDatabase t;
    t.addVehicle(QStringLiteral("P1"), QStringLiteral("0911"));
    t.addVehicle(QStringLiteral("P2"), QStringLiteral("0922"));
    t.addLog(QStringLiteral("0911"), QStringLiteral("2024/01/01 00:00:00"));
    t.addLog(QStringLiteral("0911"), QStringLiteral("2024/01/02 00:00:00"));
    t.addLog(QStringLiteral("0922"), QStringLiteral("2024/01/01 00:00:00"));
    // A terminal whose number equals the deleted vehicle's plate number.
    t.addLog(QStringLiteral("P1"), QStringLiteral("2024/01/01 00:00:00"));

    t.db.DeleteVehicle(QStringLiteral(" P1 "));
    EXPECT_EQ(t.db.strSQL(), QStringLiteral("DELETE FROM Vehicle WHERE PlateNumber='P1'"));
    EXPECT_EQ(t.count(QStringLiteral("CommLog"), QStringLiteral("PlateNumber='0911'")), 0);
    EXPECT_EQ(t.count(QStringLiteral("CommLog"), QStringLiteral("PlateNumber='0922'")), 1);
    EXPECT_EQ(t.count(QStringLiteral("CommLog"), QStringLiteral("PlateNumber='P1'")), 1);
    const auto vehicles = ReadVehicles(t.db);
    ASSERT_EQ(vehicles.size(), 1u);
    EXPECT_EQ(vehicles[0].PlateNumber, QStringLiteral("P2"));
}

TEST(DeleteVehicle, UnknownPlateOrQuote_TouchesOnlyThatPlate) {
    TempDatabase t;
    t.addVehicle(QStringLiteral("O'Neil"), QStringLiteral("0911"));
    t.addVehicle(QStringLiteral("ONeil"), QStringLiteral("0922"));
    t.addLog(QStringLiteral("0911"), QStringLiteral("2024/01/01 00:00:00"));
    t.addLog(QStringLiteral("0922"), QStringLiteral("2024/01/01 00:00:00"));
    t.db.DeleteVehicle(QStringLiteral("nobody"));
    EXPECT_EQ(t.count(QStringLiteral("Vehicle")), 2);
    EXPECT_EQ(t.count(QStringLiteral("CommLog")), 2);
    t.db.DeleteVehicle(QStringLiteral("O'Neil"));
    EXPECT_EQ(t.db.strSQL(), QStringLiteral("DELETE FROM Vehicle WHERE PlateNumber='O''Neil'"));
    EXPECT_EQ(t.count(QStringLiteral("Vehicle")), 1);
    EXPECT_EQ(t.count(QStringLiteral("CommLog"), QStringLiteral("PlateNumber='0922'")), 1);
    EXPECT_EQ(t.count(QStringLiteral("CommLog")), 1);
}

TEST(DeleteVehicle, DuringAWalk_DeletesAndTheWalkGoesOn) {
    TempDatabase t;
    t.addVehicle(QStringLiteral("P1"), QStringLiteral("0911"));
    t.addVehicle(QStringLiteral("P2"), QStringLiteral("0922"));
    t.addLog(QStringLiteral("0911"), QStringLiteral("2024/01/01 00:00:00"));
    t.db.OpenVehicleRecordset();
    FetchedVehicle v;
    ASSERT_TRUE(v.fetch(t.db));
    t.db.DeleteVehicle(QStringLiteral("P1"));
    EXPECT_EQ(t.count(QStringLiteral("CommLog")), 0);
    ASSERT_TRUE(v.fetch(t.db));
    EXPECT_EQ(v.PlateNumber, QStringLiteral("P2"));
    EXPECT_FALSE(v.fetch(t.db));
    t.db.CloseVehicleRecordset();
}
