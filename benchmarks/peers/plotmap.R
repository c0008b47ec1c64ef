# Draws a genetic map with R/qtl's plotMap into a PDF, as its users do:
#   Rscript plotmap.R MAP.csv OUT.pdf
# MAP.csv has the columns Group, Position (cM) and Locus, one row a marker.
args <- commandArgs(trailingOnly = TRUE)
suppressPackageStartupMessages(library(qtl))
rows <- read.csv(args[1], stringsAsFactors = FALSE)
map <- lapply(split(rows, factor(rows$Group, levels = unique(rows$Group))), function(group) {
  positions <- setNames(group$Position, group$Locus)
  class(positions) <- "A"
  positions
})
class(map) <- "map"
pdf(args[2])
plotMap(map, show.marker.names = TRUE)
invisible(dev.off())
