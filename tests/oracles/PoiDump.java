// Independent reader for tests: prints what Apache POI (HSSF) sees in an .xls workbook, as JSON.
//
// Usage: java -cp /usr/share/java/poi.jar:/usr/share/java/commons-codec.jar:\
//            /usr/share/java/commons-collections4.jar:/usr/share/java/commons-math3.jar \
//            tests/oracles/PoiDump.java WORKBOOK.xls
//
// Reports: the first FONT (the Normal style's font), the sheets in order with their cells (value,
// type, data format string), merged regions, raw column records (DEFCOLWIDTH, STANDARDWIDTH,
// COLINFO), raw row records (DEFAULTROWHEIGHT, ROW), pictures (anchor, type, pixel size, dpi, byte
// count, md5, rotation, mirror flags, name), every shape of the drawing (its POI class and name),
// the cell comments (cell, text) and the defined names. Exit code 0 on success, 2 on a read error
// (message on stderr), 1 on a usage error.

import java.awt.image.BufferedImage;
import java.io.ByteArrayInputStream;
import java.io.File;
import java.io.InputStream;
import java.security.MessageDigest;
import java.util.ArrayList;
import java.util.Iterator;
import java.util.List;
import java.util.Locale;
import java.util.Map;
import java.util.TreeMap;

import javax.imageio.ImageIO;
import javax.imageio.ImageReader;
import javax.imageio.metadata.IIOMetadata;
import javax.imageio.metadata.IIOMetadataNode;
import javax.imageio.stream.ImageInputStream;

import org.apache.poi.hssf.record.BOFRecord;
import org.apache.poi.hssf.record.ColumnInfoRecord;
import org.apache.poi.hssf.record.DefaultColWidthRecord;
import org.apache.poi.hssf.record.DefaultRowHeightRecord;
import org.apache.poi.hssf.record.EOFRecord;
import org.apache.poi.hssf.record.FontRecord;
import org.apache.poi.hssf.record.Record;
import org.apache.poi.hssf.record.RecordFactory;
import org.apache.poi.hssf.record.RowRecord;
import org.apache.poi.hssf.usermodel.HSSFClientAnchor;
import org.apache.poi.hssf.usermodel.HSSFComment;
import org.apache.poi.hssf.usermodel.HSSFName;
import org.apache.poi.hssf.usermodel.HSSFPatriarch;
import org.apache.poi.hssf.usermodel.HSSFPicture;
import org.apache.poi.hssf.usermodel.HSSFPictureData;
import org.apache.poi.hssf.usermodel.HSSFShape;
import org.apache.poi.hssf.usermodel.HSSFShapeContainer;
import org.apache.poi.hssf.usermodel.HSSFSheet;
import org.apache.poi.hssf.usermodel.HSSFWorkbook;
import org.apache.poi.poifs.filesystem.POIFSFileSystem;
import org.apache.poi.ss.usermodel.Cell;
import org.apache.poi.ss.usermodel.CellType;
import org.apache.poi.ss.usermodel.Row;
import org.apache.poi.ss.util.CellAddress;
import org.apache.poi.ss.util.CellRangeAddress;
import org.apache.poi.ss.util.CellReference;

public class PoiDump {
    private static final short STANDARDWIDTH = 0x0099;

    public static void main(String[] args) {
        if (args.length != 1) {
            System.err.println("usage: java -cp <poi.jar:deps> PoiDump.java WORKBOOK.xls");
            System.exit(1);
        }
        try {
            System.out.println(dump(new File(args[0])));
        } catch (Throwable t) {
            System.err.println("PoiDump: cannot read " + args[0] + ": " + t);
            System.exit(2);
        }
    }

    static String dump(File file) throws Exception {
        List<RawSheet> raw = new ArrayList<>();
        FontRecord[] firstFont = new FontRecord[1];
        try (POIFSFileSystem fs = new POIFSFileSystem(file, true)) {
            String stream = "Workbook";
            for (String name : new String[] {"Workbook", "WORKBOOK", "BOOK"})
                if (fs.getRoot().hasEntry(name)) {
                    stream = name;
                    break;
                }
            try (InputStream in = fs.createDocumentInputStream(stream)) {
                readRawRecords(RecordFactory.createRecords(in), raw, firstFont);
            }
        }
        StringBuilder out = new StringBuilder();
        try (HSSFWorkbook wb = new HSSFWorkbook(new POIFSFileSystem(file, true))) {
            out.append("{\n  \"file\": ").append(q(file.getName()));
            if (firstFont[0] != null) {
                out.append(",\n  \"normalFont\": {\"name\": ").append(q(firstFont[0].getFontName()))
                   .append(", \"heightTwips\": ").append(firstFont[0].getFontHeight()).append("}");
            }
            out.append(",\n  \"sheets\": [");
            for (int i = 0; i < wb.getNumberOfSheets(); ++i) {
                out.append(i == 0 ? "\n" : ",\n");
                dumpSheet(out, wb.getSheetAt(i), i < raw.size() ? raw.get(i) : new RawSheet());
            }
            out.append("\n  ],\n  \"names\": [");
            for (int i = 0; i < wb.getNumberOfNames(); ++i) {
                HSSFName name = wb.getNameAt(i);
                String formula;
                try {
                    formula = name.getRefersToFormula();
                } catch (RuntimeException e) {
                    formula = null;
                }
                out.append(i == 0 ? "\n" : ",\n").append("    {\"name\": ").append(q(name.getNameName()))
                   .append(", \"sheetIndex\": ").append(name.getSheetIndex())
                   .append(", \"formula\": ").append(q(formula)).append("}");
            }
            out.append("\n  ]\n}");
        }
        return out.toString();
    }

    // Column and row records as stored, one entry per worksheet substream in stream order.
    static final class RawSheet {
        Integer defColWidth;
        Integer standardWidth;
        Integer defaultRowHeightTwips;
        List<ColumnInfoRecord> columns = new ArrayList<>();
        List<RowRecord> rows = new ArrayList<>();
    }

    static void readRawRecords(List<Record> records, List<RawSheet> sheets, FontRecord[] firstFont) {
        int depth = 0;
        boolean globalsDone = false;
        RawSheet current = null;
        for (Record r : records) {
            if (r instanceof BOFRecord) {
                ++depth;
                if (depth == 1 && globalsDone) {
                    current = new RawSheet();
                    sheets.add(current);
                }
                continue;
            }
            if (r instanceof EOFRecord) {
                --depth;
                if (depth == 0)
                    globalsDone = true;
                continue;
            }
            if (!globalsDone && r instanceof FontRecord && firstFont[0] == null)
                firstFont[0] = (FontRecord) r;
            if (current == null || depth != 1)
                continue;
            if (r instanceof DefaultColWidthRecord)
                current.defColWidth = ((DefaultColWidthRecord) r).getColWidth();
            else if (r instanceof ColumnInfoRecord)
                current.columns.add((ColumnInfoRecord) r);
            else if (r instanceof DefaultRowHeightRecord)
                current.defaultRowHeightTwips = (int) ((DefaultRowHeightRecord) r).getRowHeight();
            else if (r instanceof RowRecord)
                current.rows.add((RowRecord) r);
            else if (r.getSid() == STANDARDWIDTH) {
                byte[] bytes = r.serialize();
                if (bytes.length >= 6)
                    current.standardWidth = (bytes[4] & 0xFF) | ((bytes[5] & 0xFF) << 8);
            }
        }
    }

    static void dumpSheet(StringBuilder out, HSSFSheet sheet, RawSheet raw) throws Exception {
        out.append("    {\"name\": ").append(q(sheet.getSheetName()));
        out.append(",\n     \"defColWidth\": ").append(raw.defColWidth)
           .append(", \"standardWidth\": ").append(raw.standardWidth)
           .append(", \"defaultRowHeightTwips\": ").append(raw.defaultRowHeightTwips);
        out.append(",\n     \"columns\": [");
        for (int i = 0; i < raw.columns.size(); ++i) {
            ColumnInfoRecord c = raw.columns.get(i);
            out.append(i == 0 ? "" : ", ").append("{\"first\": ").append(c.getFirstColumn())
               .append(", \"last\": ").append(c.getLastColumn()).append(", \"coldx\": ").append(c.getColumnWidth())
               .append(", \"hidden\": ").append(c.getHidden()).append("}");
        }
        out.append("],\n     \"rows\": [");
        for (int i = 0; i < raw.rows.size(); ++i) {
            RowRecord r = raw.rows.get(i);
            out.append(i == 0 ? "" : ", ").append("{\"row\": ").append(r.getRowNumber())
               .append(", \"heightTwips\": ").append(r.getHeight() & 0x7FFF)
               .append(", \"hidden\": ").append(r.getZeroHeight()).append("}");
        }
        out.append("],\n     \"cells\": [");
        boolean first = true;
        for (Row row : sheet) {
            for (Cell cell : row) {
                String text = cellJson(cell);
                if (text == null)
                    continue;
                out.append(first ? "\n" : ",\n").append("       ").append(text);
                first = false;
            }
        }
        out.append("],\n     \"merged\": [");
        for (int i = 0; i < sheet.getNumMergedRegions(); ++i) {
            CellRangeAddress region = sheet.getMergedRegion(i);
            out.append(i == 0 ? "" : ", ").append(q(region.formatAsString()));
        }
        out.append("],\n     \"pictures\": [");
        List<HSSFShape> shapes = new ArrayList<>();
        HSSFPatriarch patriarch = sheet.getDrawingPatriarch();
        if (patriarch != null)
            collectShapes(patriarch, shapes);
        first = true;
        for (HSSFShape shape : shapes) {
            if (!(shape instanceof HSSFPicture))
                continue;
            out.append(first ? "\n" : ",\n").append("       ").append(pictureJson((HSSFPicture) shape));
            first = false;
        }
        out.append("],\n     \"shapes\": [");
        for (int i = 0; i < shapes.size(); ++i) {
            HSSFShape shape = shapes.get(i);
            out.append(i == 0 ? "" : ", ").append("{\"kind\": ").append(q(shape.getClass().getSimpleName()))
               .append(", \"name\": ").append(q(shape.getShapeName())).append("}");
        }
        out.append("],\n     \"comments\": [");
        first = true;
        for (Map.Entry<CellAddress, HSSFComment> comment : new TreeMap<>(sheet.getCellComments()).entrySet()) {
            out.append(first ? "" : ", ").append("{\"cell\": ").append(q(comment.getKey().formatAsString()))
               .append(", \"text\": ").append(q(comment.getValue().getString().getString())).append("}");
            first = false;
        }
        out.append("]}");
    }

    static void collectShapes(HSSFShapeContainer container, List<HSSFShape> shapes) {
        for (HSSFShape shape : container.getChildren()) {
            shapes.add(shape);
            if (shape instanceof HSSFShapeContainer)
                collectShapes((HSSFShapeContainer) shape, shapes);
        }
    }

    static String cellJson(Cell cell) {
        CellType type = cell.getCellType();
        String value;
        String kind;
        if (type == CellType.FORMULA)
            type = cell.getCachedFormulaResultType();
        switch (type) {
        case NUMERIC:
            kind = "number";
            value = num(cell.getNumericCellValue());
            break;
        case STRING:
            kind = "text";
            value = q(cell.getStringCellValue());
            break;
        case BOOLEAN:
            kind = "boolean";
            value = Boolean.toString(cell.getBooleanCellValue());
            break;
        case ERROR:
            kind = "error";
            value = Integer.toString(cell.getErrorCellValue());
            break;
        default:
            return null;
        }
        String ref = new CellReference(cell.getRowIndex(), cell.getColumnIndex()).formatAsString();
        return "{\"cell\": " + q(ref) + ", \"type\": " + q(kind) + ", \"value\": " + value
             + ", \"format\": " + q(cell.getCellStyle().getDataFormatString()) + "}";
    }

    static String pictureJson(HSSFPicture picture) throws Exception {
        StringBuilder s = new StringBuilder("{\"name\": ").append(q(picture.getShapeName()));
        if (picture.getAnchor() instanceof HSSFClientAnchor) {
            HSSFClientAnchor a = (HSSFClientAnchor) picture.getAnchor();
            s.append(", \"anchor\": [").append(a.getCol1()).append(", ").append(a.getDx1()).append(", ")
             .append(a.getRow1()).append(", ").append(a.getDy1()).append(", ").append(a.getCol2()).append(", ")
             .append(a.getDx2()).append(", ").append(a.getRow2()).append(", ").append(a.getDy2()).append("]")
             .append(", \"anchorType\": ").append(q(String.valueOf(a.getAnchorType())));
        }
        int rotation;
        try {
            rotation = picture.getRotationDegree();
        } catch (RuntimeException e) {
            rotation = 0;
        }
        s.append(", \"rotation\": ").append(rotation).append(", \"flipH\": ").append(picture.isFlipHorizontal())
         .append(", \"flipV\": ").append(picture.isFlipVertical());
        HSSFPictureData data = picture.getPictureData();
        if (data == null)
            return s.append("}").toString();
        byte[] bytes = data.getData();
        s.append(", \"type\": ").append(q(data.suggestFileExtension()))
         .append(", \"bytes\": ").append(bytes.length)
         .append(", \"md5\": ").append(q(md5(bytes)));
        appendImageSize(s, bytes);
        return s.append("}").toString();
    }

    // Pixel size and resolution as the file states them (dots per inch, null when it says none).
    static void appendImageSize(StringBuilder s, byte[] bytes) {
        try (ImageInputStream in = ImageIO.createImageInputStream(new ByteArrayInputStream(bytes))) {
            Iterator<ImageReader> readers = ImageIO.getImageReaders(in);
            if (!readers.hasNext())
                return;
            ImageReader reader = readers.next();
            try {
                reader.setInput(in);
                s.append(", \"width\": ").append(reader.getWidth(0)).append(", \"height\": ").append(reader.getHeight(0));
                Double[] dpi = resolution(reader.getImageMetadata(0));
                s.append(", \"dpiX\": ").append(dpi[0] == null ? "null" : num(dpi[0]))
                 .append(", \"dpiY\": ").append(dpi[1] == null ? "null" : num(dpi[1]));
            } finally {
                reader.dispose();
            }
        } catch (Exception e) {
            s.append(", \"imageError\": ").append(q(e.toString()));
        }
    }

    static Double[] resolution(IIOMetadata metadata) {
        Double[] dpi = {null, null};
        if (metadata == null || !metadata.isStandardMetadataFormatSupported())
            return dpi;
        IIOMetadataNode root = (IIOMetadataNode) metadata.getAsTree("javax_imageio_1.0");
        String[] tags = {"HorizontalPixelSize", "VerticalPixelSize"};
        for (int i = 0; i < 2; ++i) {
            var nodes = root.getElementsByTagName(tags[i]);
            if (nodes.getLength() == 0)
                continue;
            String mm = ((IIOMetadataNode) nodes.item(0)).getAttribute("value");
            double millimetresPerPixel = Double.parseDouble(mm);
            if (millimetresPerPixel > 0)
                dpi[i] = Math.round(25.4 / millimetresPerPixel * 100.0) / 100.0;
        }
        return dpi;
    }

    static String md5(byte[] bytes) throws Exception {
        StringBuilder hex = new StringBuilder();
        for (byte b : MessageDigest.getInstance("MD5").digest(bytes))
            hex.append(String.format("%02x", b & 0xFF));
        return hex.toString();
    }

    static String num(double value) {
        if (value == Math.rint(value) && Math.abs(value) < 1e15)
            return Long.toString((long) value);
        return String.format(Locale.ROOT, "%.17g", value).replaceAll("0+$", "").replaceAll("\\.$", "");
    }

    static String q(String text) {
        if (text == null)
            return "null";
        StringBuilder s = new StringBuilder("\"");
        for (int i = 0; i < text.length(); ++i) {
            char c = text.charAt(i);
            switch (c) {
            case '"': s.append("\\\""); break;
            case '\\': s.append("\\\\"); break;
            case '\n': s.append("\\n"); break;
            case '\r': s.append("\\r"); break;
            case '\t': s.append("\\t"); break;
            default:
                if (c < 0x20)
                    s.append(String.format("\\u%04x", (int) c));
                else
                    s.append(c);
            }
        }
        return s.append('"').toString();
    }
}
