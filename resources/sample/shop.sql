-- The bundled sample: a small shop's product list (about 200 products).
-- The build runs this script into build/sample/shop.db and then fills the
-- picture column with small generated PNG and BMP images.
PRAGMA foreign_keys = ON;

DROP TABLE IF EXISTS products;
DROP TABLE IF EXISTS categories;

CREATE TABLE categories (
  id    INTEGER PRIMARY KEY,
  name  VARCHAR(20) NOT NULL
);

CREATE TABLE products (
  id        INTEGER PRIMARY KEY,
  code      VARCHAR(8) NOT NULL UNIQUE,
  name      VARCHAR(40) NOT NULL,
  kana      VARCHAR(60) NOT NULL,
  category  INTEGER REFERENCES categories(id),
  price     INTEGER NOT NULL CHECK (price >= 0),
  stock     INTEGER NOT NULL DEFAULT 0 CHECK (stock >= 0),
  in_stock  BOOLEAN NOT NULL DEFAULT 0,
  arrived   DATE,
  note      MEMO,
  picture   GRAPHIC
);

INSERT INTO categories (id, name) VALUES
  (1, '果物'), (2, '野菜'), (3, '飲み物'), (4, '菓子'), (5, '文具');

-- Twenty base items, each sold in ten varieties. The ids step through the
-- items and varieties by 7 (modulo 200), so neighbouring rows differ.
CREATE TEMP TABLE base_items (n INTEGER, name TEXT, kana TEXT, category INTEGER, price INTEGER);
INSERT INTO base_items VALUES
  (0,  'りんご',     'リンゴ',         1, 150),
  (1,  'みかん',     'ミカン',         1,  80),
  (2,  'ぶどう',     'ブドウ',         1, 420),
  (3,  '桃',         'モモ',           1, 300),
  (4,  '梨',         'ナシ',           1, 250),
  (5,  'トマト',     'トマト',         2, 120),
  (6,  'きゅうり',   'キュウリ',       2,  60),
  (7,  '大根',       'ダイコン',       2, 180),
  (8,  'にんじん',   'ニンジン',       2,  90),
  (9,  'ほうれん草', 'ホウレンソウ',   2, 160),
  (10, '緑茶',       'リョクチャ',     3, 140),
  (11, '麦茶',       'ムギチャ',       3, 110),
  (12, 'コーヒー',   'コーヒー',       3, 200),
  (13, 'せんべい',   'センベイ',       4, 230),
  (14, 'どら焼き',   'ドラヤキ',       4, 180),
  (15, '大福',       'ダイフク',       4, 150),
  (16, 'ノート',     'ノート',         5, 120),
  (17, '鉛筆',       'エンピツ',       5,  70),
  (18, '消しゴム',   'ケシゴム',       5,  90),
  (19, 'ボールペン', 'ボールペン',     5, 130);

CREATE TEMP TABLE varieties (v INTEGER, prefix TEXT, kana TEXT, factor REAL, note TEXT);
INSERT INTO varieties VALUES
  (0, '特選',     'トクセン',       1.8, '厳選した上質な品です。贈り物にも喜ばれます。'),
  (1, '徳用',     'トクヨウ',       0.8, 'たっぷり入ったお得な大容量パックです。'),
  (2, '国産',     'コクサン',       1.3, '国内の契約農家・工場から直接仕入れています。'),
  (3, '有機',     'ユウキ',         1.5, '化学肥料を使わずに育てました。'),
  (4, '季節限定', 'キセツゲンテイ', 1.2, '今の季節だけの限定品です。売り切れ次第終了します。'),
  (5, '小分け',   'コワケ',         1.0, '使いやすい小分けの包装です。'),
  (6, '業務用',   'ギョウムヨウ',   0.7, '飲食店や事務所向けのまとめ売りです。'),
  (7, '手作り',   'テヅクリ',       1.6, '職人がひとつずつ丁寧に仕上げました。'),
  (8, '北海道産', 'ホッカイドウサン', 1.4, '北の大地で育った自慢の一品です。'),
  (9, '新商品',   'シンショウヒン', 1.1, '今月入荷したばかりの新しい商品です。');

INSERT INTO products (id, code, name, kana, category, price, stock, in_stock, arrived, note)
SELECT (b.n * 10 + v.v) * 7 % 200 + 1,
       printf('P%04d', (b.n * 10 + v.v) * 7 % 200 + 1),
       v.prefix || b.name,
       v.kana || b.kana,
       b.category,
       CAST(round(b.price * v.factor / 10.0) * 10 AS INTEGER),
       (b.n * 37 + v.v * 11) % 60,
       ((b.n * 37 + v.v * 11) % 60) > 0,
       date('2026-04-01', printf('+%d days', (b.n * 13 + v.v * 7) % 200)),
       v.note || char(10) || '産地・仕様の詳細は店頭でお尋ねください。' ||
         CASE WHEN (b.n + v.v) % 4 = 0 THEN char(10) || '※ 数量に限りがあります。' ELSE '' END
FROM base_items b CROSS JOIN varieties v
ORDER BY 1;

DROP TABLE base_items;
DROP TABLE varieties;
