// Independent reader for tests: how Apache POI (HSSF) sees the pictures of an .xls workbook turn
// and mirror, as JSON: for every sheet in order, its pictures in drawing order with their shape's
// flags fFlipH and fFlipV ([MS-ODRAW] FSP) and their rotation in degrees.
//
// Usage: java -cp /usr/share/java/poi.jar:/usr/share/java/commons-codec.jar:\
//            /usr/share/java/commons-collections4.jar:/usr/share/java/commons-math3.jar \
//            tests/oracles/PoiShapeFlips.java WORKBOOK.xls
//
// {"sheets": [{"name", "pictures": [{"flipH", "flipV", "rotation"}]}]}
// Exit code 0 on success, 2 on a read error (message on stderr), 1 on a usage error.

import java.io.File;

import org.apache.poi.hssf.usermodel.HSSFPatriarch;
import org.apache.poi.hssf.usermodel.HSSFPicture;
import org.apache.poi.hssf.usermodel.HSSFShape;
import org.apache.poi.hssf.usermodel.HSSFSheet;
import org.apache.poi.hssf.usermodel.HSSFWorkbook;

public class PoiShapeFlips {
    static String quoted(String text) {
        return "\"" + text.replace("\\", "\\\\").replace("\"", "\\\"") + "\"";
    }

    public static void main(String[] args) {
        if (args.length != 1) {
            System.err.println("usage: PoiShapeFlips WORKBOOK.xls");
            System.exit(1);
        }
        try (HSSFWorkbook workbook = new HSSFWorkbook(new java.io.FileInputStream(new File(args[0])))) {
            StringBuilder out = new StringBuilder("{\"sheets\": [");
            for (int s = 0; s < workbook.getNumberOfSheets(); ++s) {
                HSSFSheet sheet = workbook.getSheetAt(s);
                out.append(s == 0 ? "" : ", ").append("{\"name\": ").append(quoted(sheet.getSheetName()));
                out.append(", \"pictures\": [");
                HSSFPatriarch patriarch = sheet.getDrawingPatriarch();
                boolean first = true;
                if (patriarch != null) {
                    for (HSSFShape shape : patriarch.getChildren()) {
                        if (!(shape instanceof HSSFPicture))
                            continue;
                        out.append(first ? "" : ", ").append("{\"flipH\": ").append(shape.isFlipHorizontal())
                           .append(", \"flipV\": ").append(shape.isFlipVertical())
                           .append(", \"rotation\": ").append(shape.getRotationDegree()).append("}");
                        first = false;
                    }
                }
                out.append("]}");
            }
            out.append("]}");
            System.out.println(out);
        } catch (Exception e) {
            System.err.println(e);
            System.exit(2);
        }
    }
}
